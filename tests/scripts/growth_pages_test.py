"""The growth pages' formulas as MathML (web/tex_math.py) and the pages made
from docs/growth*.md by web/growth_page.py, under Debian's Python."""
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "web"))
from tex_math import FORMULA, hold, mathml, put_back  # noqa: E402


def read(path):
    with open(path, encoding="utf-8") as file:
        return file.read()


def tree(tex, display=False):
    return ElementTree.fromstring(mathml(tex, display))


def shape(element):
    """The element's tags and leaves, nested, for comparing structure."""
    children = [shape(child) for child in element]
    return (element.tag, *children) if children else (element.tag, element.text or "")


class TexToMathML(unittest.TestCase):
    def test_scripts_roots_fractions_and_text(self):
        self.assertEqual(shape(tree(r"\lambda_k = 4\sin^2(\pi k)")),
                         ("math", ("msub", ("mi", "λ"), ("mi", "k")), ("mo", "="), ("mn", "4"),
                          ("msup", ("mi", "sin"), ("mn", "2")), ("mo", "\u2061"), ("mo", "("), ("mi", "π"),
                          ("mi", "k"), ("mo", ")")))
        self.assertEqual(shape(tree(r"\frac{a - 1}{2}\sqrt{x_{n+1}^2}")),
                         ("math", ("mfrac", ("mrow", ("mi", "a"), ("mo", "−"), ("mn", "1")), ("mn", "2")),
                          ("msqrt", ("msubsup", ("mi", "x"), ("mrow", ("mi", "n"), ("mo", "+"), ("mn", "1")),
                                     ("mn", "2")))))
        self.assertEqual(shape(tree(r"0.00005 \le \nu\text{ and so on}")),
                         ("math", ("mn", "0.00005"), ("mo", "≤"), ("mi", "ν"), ("mtext", " and so on")))

    def test_fences_stretch_only_after_left_and_right(self):
        plain, grown = tree("(x)"), tree(r"\left(x\right)")
        self.assertEqual([mo.get("stretchy") for mo in plain.iter("mo")], ["false", "false"])
        self.assertEqual([mo.get("stretchy") for mo in grown.iter("mo")], ["true", "true"])
        self.assertEqual(tree("|z|")[0].attrib, {"stretchy": "false", "lspace": "0", "rspace": "0"})

    def test_a_block_and_markup_escaped(self):
        self.assertEqual(tree("a < b", display=True).attrib, {"display": "block"})
        self.assertIn("<mo>&lt;</mo>", mathml("a < b"))

    def test_what_it_does_not_know_is_an_error(self):
        for tex in (r"\alpha + \gamma", "{x", "x}", "x^", "x^2^3", r"\left x", "a & b", ""):
            with self.subTest(tex=tex), self.assertRaises(ValueError):
                mathml(tex)

    def test_formulas_held_from_markdown_and_put_back(self):
        text = "Costs $5 and $6; $x_1$ and\n\n$$\ny^2\n$$\n\nthen $ a $."
        held, formulas = hold(text)
        self.assertEqual(held, "Costs $5 and $6; \ue0000\ue001 and\n\n\ue0001\ue001\n\nthen $ a $.")
        page = put_back("<p>Costs \ue0000\ue001 and</p>\n<p>\ue0001\ue001</p>", formulas)
        self.assertEqual(page, '<p>Costs <math><msub><mi>x</mi><mn>1</mn></msub></math> and</p>\n'
                               '<math display="block"><msup><mi>y</mi><mn>2</mn></msup></math>')


class Pages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        site, fragment = cls.work.name, os.path.join(cls.work.name, "sections.html")
        sources = [os.path.join(ROOT, "docs", name) for name in ("growth.md", "growth.ja.md")]
        subprocess.run([sys.executable, os.path.join(ROOT, "web", "growth_page.py"), os.path.join(ROOT, "web", "words"),
                        site, fragment, *sources], check=True)
        cls.pages = {"en": read(os.path.join(site, "growth.html")), "ja": read(os.path.join(site, "growth.ja.html"))}
        cls.fragment = read(fragment)
        cls.formulas = {language: len(FORMULA.findall(read(source))) for language, source in zip(("en", "ja"), sources)}
        cls.site = site

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def test_the_section_and_its_picture_in_both_pages_and_the_single_file(self):
        for language, heading, picture in (("en", "Choosing the Courant number", "growth-courant.svg"),
                                           ("ja", "クーラン数を選ぶ", "growth-courant.ja.svg")):
            with self.subTest(language=language):
                self.assertIn(f"<h2>{heading}</h2>", self.pages[language])
                self.assertIn(f'src="{picture}"', self.pages[language])
                self.assertTrue(os.path.exists(os.path.join(self.site, picture)))
                self.assertIn(f"<h3>{heading}</h3>", self.fragment)
                self.assertIn(f'id="picture-{picture}"', self.fragment)

    def test_every_formula_is_mathml_and_no_tex_is_left(self):
        for language, page in self.pages.items():
            with self.subTest(language=language):
                found = re.findall(r"<math[ >].*?</math>", page, re.S)
                self.assertEqual(len(found), self.formulas[language])
                for element in found:
                    ElementTree.fromstring(element)
                text = re.sub(r"<script>.*?</script>|<pre>.*?</pre>", "", page, flags=re.S)
                self.assertNotRegex(text, r"\$|\\[a-z]|\ue000|sqrt\(|lambda|\^2")
        self.assertEqual(len(re.findall("<math[ >]", self.fragment)), sum(self.formulas.values()))


if __name__ == "__main__":
    unittest.main()
