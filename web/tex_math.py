"""The growth pages' formulas, written in the Markdown as TeX between $...$
(in a line) or $$...$$ (on lines of their own), which a forge renders as it
is, turned into MathML Core for the browsers' own <math> elements.

Only the few constructs the pages use are known: letters, numbers and
operators; ^ and _ with a token or a {group}; \\sqrt{}, \\frac{}{}, \\text{},
\\left and \\right (dropped: MathML stretches fences itself), spaces
(\\, \\quad \\qquad) and the named symbols below. Anything else is an error,
so that a formula is never shown half converted.
"""
import html
import re

IDENTIFIERS = {"alpha": "α", "beta": "β", "Delta": "Δ", "lambda": "λ", "mu": "μ", "nu": "ν", "omega": "ω",
               "phi": "φ", "pi": "π", "theta": "θ", "infty": "∞", "ldots": "…"}
FUNCTIONS = {"sin", "cos", "ln", "exp", "max"}
OPERATORS = {"pm": "±", "le": "≤", "ge": "≥", "times": "×", "cdot": "⋅", "propto": "∝", "approx": "≈",
             "to": "→", "sim": "∼", "{": "{", "}": "}"}
SPACES = {",": "0.1667em", "quad": "1em", "qquad": "2em"}
# Signs MathML draws better than the keyboard's.
SIGNS = {"-": "−", "*": "∗", "'": "′"}
# As in TeX, a fence grows with what it holds only after \left or \right.
FENCES = "()[]|"
# Spaced as TeX spaces them: not at all.
UNSPACED = "|/"
# \text{...} is one token: its words keep their spaces.
TOKEN = re.compile(r"\\text\{([^{}]*)\}|\\([A-Za-z]+|.)|(\d+(?:\.\d+)?)|([A-Za-z])|(\s+)|(.)", re.S)


def _tokens(tex):
    for match in TOKEN.finditer(tex):
        words, command, number, letter, space, other = match.groups()
        if words is not None:
            yield "t", words
        elif command:
            yield "\\", command
        elif number:
            yield "n", number
        elif letter:
            yield "i", letter
        elif not space:
            yield "o", other


class _Parser:
    def __init__(self, tex):
        self.tex = tex
        self.tokens = list(_tokens(tex))
        self.at = 0

    def fail(self, why):
        raise ValueError(f"{why} in ${self.tex}$")

    def peek(self):
        return self.tokens[self.at] if self.at < len(self.tokens) else (None, None)

    def take(self):
        token = self.peek()
        if token[0] is None:
            self.fail("unexpected end")
        self.at += 1
        return token

    def sequence(self, inside_group):
        items = []
        while True:
            kind, value = self.peek()
            if kind is None:
                if inside_group:
                    self.fail("a { without its }")
                return items
            if (kind, value) == ("o", "}"):
                if not inside_group:
                    self.fail("a } without its {")
                self.at += 1
                return items
            items.append(self.scripted())

    def group(self):
        """A {group} or a single token, as one element."""
        if self.peek() == ("o", "{"):
            self.at += 1
            return _row(self.sequence(inside_group=True))
        return self.atom()

    def scripted(self):
        # A function's name takes the scripts (sin^2), then the invisible
        # function application follows.
        applied = self.peek()[0] == "\\" and self.peek()[1] in FUNCTIONS
        base = self.atom()
        scripts = {}
        while self.peek() in (("o", "^"), ("o", "_")):
            mark = self.take()[1]
            if mark in scripts:
                self.fail(f"a second {mark}")
            scripts[mark] = self.group()
        if "^" in scripts and "_" in scripts:
            base = f"<msubsup>{base}{scripts['_']}{scripts['^']}</msubsup>"
        elif "^" in scripts:
            base = f"<msup>{base}{scripts['^']}</msup>"
        elif "_" in scripts:
            base = f"<msub>{base}{scripts['_']}</msub>"
        return base + "<mo>\u2061</mo>" if applied else base

    def atom(self):
        kind, value = self.take()
        if kind == "n":
            return f"<mn>{value}</mn>"
        if kind == "i":
            return f"<mi>{value}</mi>"
        if kind == "t":
            return f"<mtext>{html.escape(value)}</mtext>"
        if kind == "o":
            if value == "{":
                return _row(self.sequence(inside_group=True))
            if value in "}^_$\\&#%~":
                self.fail(f"a {value} out of place")
            return _operator(value, stretchy=False)
        if value in ("left", "right"):
            kind, fence = self.take()
            if kind != "o" or fence not in FENCES:
                self.fail(f"\\{value} without a fence")
            return _operator(fence, stretchy=True)
        if value == "sqrt":
            return f"<msqrt>{self.group()}</msqrt>"
        if value == "frac":
            return f"<mfrac>{self.group()}{self.group()}</mfrac>"
        if value in IDENTIFIERS:
            return f"<mi>{IDENTIFIERS[value]}</mi>"
        if value in FUNCTIONS:
            return f"<mi>{value}</mi>"
        if value in OPERATORS:
            return f"<mo>{html.escape(OPERATORS[value])}</mo>"
        if value in SPACES:
            return f'<mspace width="{SPACES[value]}"></mspace>'
        self.fail(f"unknown command \\{value}")


def _operator(sign, stretchy):
    attributes = ""
    if sign in FENCES:
        attributes += f' stretchy="{str(stretchy).lower()}"'
    if sign in UNSPACED:
        attributes += ' lspace="0" rspace="0"'
    return f"<mo{attributes}>{html.escape(SIGNS.get(sign, sign))}</mo>"


def _row(items):
    return items[0] if len(items) == 1 else f"<mrow>{''.join(items)}</mrow>"


def mathml(tex, display=False):
    """TeX's `tex` as a <math> element, a block of its own when `display`."""
    items = _Parser(tex).sequence(inside_group=False)
    if not items:
        raise ValueError("an empty formula")
    opening = '<math display="block">' if display else "<math>"
    return f"{opening}{''.join(items)}</math>"


# $$...$$ across lines, or $...$ in a line with no space just inside either
# dollar (so that prices and shell variables stay text).
FORMULA = re.compile(r"\$\$(.+?)\$\$|\$(?=[^\s$])([^$\n]*?[^\s$\\])\$", re.S)
_HOLDER = "\ue000{}\ue001"
_HELD = re.compile("\ue000(\\d+)\ue001")


def hold(markdown_text):
    """The text with each formula replaced by a marker Markdown leaves alone,
    and the formulas' MathML in the markers' order."""
    formulas = []

    def held(match):
        formulas.append(mathml(match[1] if match[1] is not None else match[2], display=match[1] is not None))
        return _HOLDER.format(len(formulas) - 1)

    return FORMULA.sub(held, markdown_text), formulas


def put_back(page, formulas):
    """The page with each marker replaced by its formula; a formula alone in
    its paragraph stands as the block it is."""
    page = re.sub("<p>(\ue000\\d+\ue001)</p>", r"\1", page)
    return _HELD.sub(lambda m: formulas[int(m[1])], page)
