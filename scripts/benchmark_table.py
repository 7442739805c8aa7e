"""Turns Google Benchmark's JSON (with repetitions) into the Markdown table of docs/benchmarks.md."""
import json
import sys

run = json.load(open(sys.argv[1]))
medians = {b["run_name"]: b for b in run["benchmarks"] if b.get("aggregate_name") == "median"}
ctx = run["context"]


def micro(name):
    return medians[name]["real_time"] / 1000.0 if name in medians else None


def find(prefix):
    return next((n for n in medians if n.startswith(prefix)), None)


inorder = micro("product/in_order/201")
floor = micro("streamMatrix/201")
print("# Benchmarks\n")
print(f"Machine: {ctx.get('num_cpus')} CPUs at {ctx.get('mhz_per_cpu')} MHz, "
      f"caches {', '.join(str(c['size'] // 1024) + ' KiB L' + str(c['level']) + ' ' + c['type'] for c in ctx.get('caches', []))}; "
      f"{ctx.get('date')}. Medians of {medians[next(iter(medians))]['repetitions']} repetitions "
      f"(`scripts/bench.sh`).\n")
print("## One product at n = 201\n")
print("| what | µs per product | vs in-order loop | vs reading the matrix once | rows differing from the in-order bits |")
print("|---|---:|---:|---:|---:|")
for name in ["product/in_order/201", "product/portable/201", "product/sse2/201", "product/avx2/201",
             "product/avx512/201", "openblasDgemv/201", "eigenProduct/201", "streamMatrix/201"]:
    t = micro(name)
    if t is None:
        continue
    differing = medians[name].get("differing_rows")
    label = {"openblasDgemv/201": "OpenBLAS cblas_dgemv, 1 thread", "eigenProduct/201": "Eigen 3",
             "streamMatrix/201": "floor: sum the matrix once"}.get(name, name.split("/")[1] + " path")
    print(f"| {label} | {t:.2f} | {inorder / t:.1f}× | {t / floor:.2f}× | "
          f"{'—' if differing is None else int(differing)} |")
print("\n## One frame (51 steps with their allocations)\n")
print("| product | µs per frame | vs in-order |")
print("|---|---:|---:|")
slow = micro("frame/in_order")
for name in sorted(n for n in medians if n.startswith("frame/")):
    print(f"| {name.split('/')[1]} | {micro(name):.1f} | {slow / micro(name):.1f}× |")
scaling = sorted((n for n in medians if n.startswith("scaling/")), key=lambda n: int(n.rsplit("/", 1)[1]))
if scaling:
    print(f"\n## How the {scaling[0].split('/')[1]} product grows with n\n")
    print("| n | µs | ns per element | GB/s of matrix |")
    print("|---:|---:|---:|---:|")
    for name in scaling:
        n = int(name.rsplit("/", 1)[1])
        t = micro(name)
        print(f"| {n} | {t:.2f} | {t * 1000 / (n * n):.3f} | {n * n * 8 / (t * 1000):.1f} |")

print("""
## Reading the table

Every path of ours returns the bits of the in-order loop (0 differing rows): each
row is one running sum, taken column by column. The speed comes from keeping
several rows' sums side by side, one per SIMD lane, which needs the matrix
transposed in registers as it is read: a 4 × 4 block of products costs four
loads, four multiplies, four adds and eight shuffles. OpenBLAS and Eigen sum
each row in a different order (several partial sums, fused multiply-adds), so
they need no transpose, and their results differ in the last bits for most rows.

On AMD Zen 4 (this machine) the shuffles share two of the four floating-point
pipes with the multiplies and adds, which holds the AVX2 product at about six
cycles per 16 elements; 512-bit operations run as two halves there, so the
AVX-512 path is slower than the AVX2 one and the dispatcher prefers AVX2 on
that family. A frame spends almost all of its time in the 51 products.
""")
