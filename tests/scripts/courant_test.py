"""The models' growth per step at the page's Courant numbers (tools/courant_data,
named by COURANT_DATA) against von Neumann analysis, worked out here on its
own, and against the figures the growth pages quote."""
import math
import os
import subprocess
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
STOPS = ["0.00005", "0.0025", "0.01", "0.0625", "0.25", "0.81", "1", "1.0201", "1.21"]
FASTEST = 4 * math.sin(200 * math.pi / 402) ** 2


def program_growth(c):
    return math.sqrt(1 + c * FASTEST)


def textbook_growth(c):
    x = c * FASTEST
    return 1.0 if x <= 4 else (x - 2 + math.sqrt((x - 2) ** 2 - 4)) / 2


class Measured(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        out = subprocess.run([os.environ["COURANT_DATA"]], check=True, capture_output=True, text=True).stdout
        cls.rows = [[float(x) for x in line.split()] for line in out.splitlines()]

    def test_the_stops_are_the_pages(self):
        self.assertEqual([row[1] for row in self.rows], [float(c) for c in STOPS])
        for nu, c, *_ in self.rows:
            self.assertAlmostEqual(nu * nu, c, delta=1e-11 * c)  # nu is printed to 12 digits

    def test_the_program_grows_as_its_fastest_mode(self):
        # In the exponent: a little below the fastest mode (its neighbours
        # share the largest value), never above it.
        for nu, c, measured, *_ in self.rows:
            off = math.log(measured) / math.log(program_growth(c)) - 1
            with self.subTest(nu=nu):
                self.assertLess(off, 0.0005)
                self.assertGreater(off, -0.015 if c < 0.001 else -0.005)

    def test_the_textbook_scheme_is_bounded_to_the_cfl_limit_and_grows_beyond(self):
        for nu, c, _, _, measured, steps, largest in self.rows:
            with self.subTest(nu=nu):
                if c * FASTEST <= 4:
                    self.assertEqual(steps, 400000)
                    self.assertLess(largest, 2.75)  # the start's largest is 2
                    self.assertAlmostEqual(measured, 1.0, delta=2e-6)
                else:
                    self.assertGreater(largest, 1e200)
                    self.assertAlmostEqual(math.log(measured) / math.log(textbook_growth(c)), 1.0, delta=0.002)

    def test_the_pages_quote_these_figures(self):
        for page in ("growth.md", "growth.ja.md"):
            with open(os.path.join(ROOT, "docs", page), encoding="utf-8") as file:
                text = file.read()
            for nu, c, program, _, textbook, _, largest in self.rows:
                with self.subTest(page=page, nu=nu):
                    quoted = [f"{program:.7f}", f"{program_growth(c):.7f}"]
                    quoted += [f"{textbook:.7f}", f"{textbook_growth(c):.7f}"] if c * FASTEST > 4 else [f"{largest:.2f}"]
                    row = next(line for line in text.splitlines() if line.startswith(f"| {nu:.3g} | "))
                    self.assertEqual(row.count("|") - 1, 6, row)
                    for figure in quoted:
                        self.assertIn(f" {figure} ", row)


if __name__ == "__main__":
    unittest.main()
