"""Turns Google Benchmark's JSON (with repetitions) into docs/benchmarks.md.

Every statement about speed or about the machine is made from the run itself,
so the page is true wherever it is made; what is said without a figure holds
on every machine (how the code works).
"""
import json
import sys

run = json.load(open(sys.argv[1]))
ctx = run["context"]


def aggregate(kind):
    return {b["run_name"]: b for b in run["benchmarks"] if b.get("aggregate_name") == kind}


medians, spreads = aggregate("median"), aggregate("stddev")


def micro(name):
    return medians[name]["real_time"] / 1000.0 if name in medians else None


def spread(name):
    return spreads[name]["real_time"] / 1000.0 if name in spreads else 0.0


def describe_machine():
    name = ctx.get("cpu_model_name", "a processor that does not name itself")
    family = ctx.get("cpu_family")
    details = [ctx.get("cpu_vendor")] if ctx.get("cpu_vendor") else []
    if family is not None:
        details.append(f"family {family} ({int(family):X}h), model {ctx.get('cpu_model', '?')}")
    caches = ", ".join(f"{c['size'] // 1024} KiB L{c['level']} {c['type']}" for c in ctx.get("caches", []))
    return (f"{name}{' (' + ', '.join(details) + ')' if details else ''}; {ctx.get('num_cpus')} CPUs at "
            f"{ctx.get('mhz_per_cpu')} MHz; caches: {caches or 'not reported by the system'}")


# Our paths measured here, in the program's order of preference.
paths = [name.split("/")[1] for name in medians if name.startswith("product/")]
chosen = ctx.get("dispatcher_path")
inorder = micro("product/in_order/201")
floor = micro("streamMatrix/201")
repetitions = medians[next(iter(medians))]["repetitions"]

print("# Benchmarks\n")
print(f"Machine: {describe_machine()}. {ctx.get('date')}; medians of {repetitions} repetitions "
      f"(`scripts/bench.sh`).\n")

print("## One product at n = 201\n")
print("| what | µs per product | vs in-order loop | vs reading the matrix once | rows differing from the in-order bits |")
print("|---|---:|---:|---:|---:|")
names = [f"product/{p}/201" for p in paths] + ["openblasDgemv/201", "eigenProduct/201", "streamMatrix/201"]
for name in names:
    t = micro(name)
    if t is None:
        continue
    differing = medians[name].get("differing_rows")
    label = {"openblasDgemv/201": "OpenBLAS cblas_dgemv, 1 thread", "eigenProduct/201": "Eigen 3",
             "streamMatrix/201": f"floor: sum the matrix once ({medians[name].get('label', '')})"}.get(
        name, name.split("/")[1] + " path" + (" (the dispatcher's choice)" if name.split("/")[1] == chosen else ""))
    versus_floor = f"{t / floor:.2f}×" if floor else "—"
    print(f"| {label} | {t:.2f} | {inorder / t:.1f}× | {versus_floor} | "
          f"{'—' if differing is None else int(differing)} |")

unmeasured = sorted({b["run_name"].split("/")[1] for b in run["benchmarks"]
                     if b.get("error_occurred") and b["run_name"].startswith("product/")})
if unmeasured:
    print(f"\nNot measured: {', '.join(f'`{p}`' for p in unmeasured)}, built in but not on this processor.")

print("\n## The dispatcher's choice\n")
fastest = min(paths, key=lambda p: micro(f"product/{p}/201"))
if chosen not in paths:
    print(f"The dispatcher chooses `{chosen}` here, which this run did not measure.")
elif chosen == fastest:
    print(f"The dispatcher chooses `{chosen}` here, the fastest of our paths measured "
          f"({micro(f'product/{chosen}/201'):.2f} µs).")
else:
    a, b = f"product/{chosen}/201", f"product/{fastest}/201"
    gap = micro(a) - micro(b)
    if gap <= spread(a) + spread(b):
        print(f"The dispatcher chooses `{chosen}` here ({micro(a):.2f} µs); `{fastest}` measured "
              f"{micro(b):.2f} µs, a difference within the spread of the repetitions (standard deviations "
              f"{spread(a):.2f} and {spread(b):.2f} µs): the two are equally fast here.")
    else:
        print(f"**The dispatcher's choice is not the fastest path here.** It chooses `{chosen}` "
              f"({micro(a):.2f} µs), but `{fastest}` took {micro(b):.2f} µs, {100 * gap / micro(a):.0f}% less, "
              f"beyond the spread of the repetitions (standard deviations {spread(a):.2f} and {spread(b):.2f} µs). "
              f"That is a dispatcher bug report: on this processor it should prefer `{fastest}`.")
print("""
It takes the widest path the processor has, with one exception: it passes
over AVX-512 on AMD's family 19h, whose processors with AVX-512 (Zen 4) run
each 512-bit operation as two 256-bit halves, where it measured slower than
AVX2.""")

frames = sorted(n for n in medians if n.startswith("frame/"))
if frames:
    print("\n## One frame (51 steps with their allocations)\n")
    print("| product | µs per frame | vs in-order | 51 products alone, from the table above (µs) |")
    print("|---|---:|---:|---:|")
    slow = micro("frame/in_order")
    for name in frames:
        path = name.split("/")[1]
        products = 51 * micro(f"product/{path}/201")
        print(f"| {path} | {micro(name):.1f} | {slow / micro(name):.1f}× | {products:.1f} |")

scaling = sorted((n for n in medians if n.startswith("scaling/")), key=lambda n: int(n.rsplit("/", 1)[1]))
if scaling:
    fast = scaling[0].split("/")[1]
    rows = [(int(n.rsplit("/", 1)[1]), micro(n)) for n in scaling]
    if f"product/{fast}/201" in medians:
        rows.append((201, micro(f"product/{fast}/201")))
    print(f"\n## How the {fast} product grows with n\n")
    print("The n = 201 row is the one-product measurement above, not a second one.\n")
    print("| n | µs | ns per element | GB/s of matrix |")
    print("|---:|---:|---:|---:|")
    for n, t in sorted(rows):
        print(f"| {n} | {t:.2f} | {t * 1000 / (n * n):.3f} | {n * n * 8 / (t * 1000):.1f} |")

print("\n## Reading the tables\n")
differing = {p: int(medians[f"product/{p}/201"].get("differing_rows", 0)) for p in paths}
if all(d == 0 for d in differing.values()):
    print("Every path of ours returned the bits of the in-order loop (0 differing rows).", end=" ")
else:
    bad = ", ".join(f"`{p}` in {d} rows" for p, d in differing.items() if d)
    print(f"**Not every path returned the in-order bits here: {bad}. That is a bug.**", end=" ")
print("""Each row is
one running sum, taken column by column. The speed comes from keeping several
rows' sums side by side, one per SIMD lane, which needs the matrix transposed
in registers as it is read: a 4 × 4 block of products costs four loads, four
multiplies, four adds and eight shuffles.""", end="")
peers = [(label, name) for label, name in [("OpenBLAS", "openblasDgemv/201"), ("Eigen", "eigenProduct/201")]
         if name in medians]
if peers:
    counts = " and ".join(f"{label} in {int(medians[name].get('differing_rows', 0))}" for label, name in peers)
    print(f""" The peers sum each row in another order (several
partial sums, fused multiply-adds), so they need no transpose; their results
differ from the in-order bits in the last places ({counts} of the 201 rows here).""")
else:
    print()
