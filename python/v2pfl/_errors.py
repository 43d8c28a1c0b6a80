"""The exception of a stop of the computation."""

# What each stop code means, for stops that carry no message of their own.
_MEANINGS = {
    1: "unexpected internal failure",
    5: "a cell coefficient came out NaN or infinite",
    6: "a result of the finite-element test is not a number",
    9: "the ordering of the sparse system failed",
    11: "ice model: phi_layer_m is not below phi_a_m",
    99: "the factorization or solve of the sparse system failed",
    222: "material number out of range",
    555: "volume fractions do not add up to 1",
    12345: "lambda1 not positive in cell (1, 1)",
    12346: "lambda3 not positive in cell (1, 1)",
    45678: "permafrost model: ice fraction outside (0, 1)",
    45687: "strain energy not positive definite",
    45688: "strain energy not positive definite",
    99998: "friction matrix not positive (cell (1, 1))",
    99999: "friction matrix not positive (cell (1, 1))",
}


def stop_meaning(code):
    """The documented meaning of a stop code."""
    if 2000 <= code <= 2004:
        return "a plane-wave velocity is not positive"
    return _MEANINGS.get(code, "stop of the computation")


class StopError(RuntimeError):
    """A stop of the computation: `code` is the program's stop code, `message`
    its diagnostic (or the code's documented meaning)."""

    def __init__(self, code, message=""):
        self.code = int(code)
        self.message = message or stop_meaning(self.code)
        super().__init__(f"STOP {self.code}: {self.message}")

    def __reduce__(self):
        return (StopError, (self.code, self.message))
