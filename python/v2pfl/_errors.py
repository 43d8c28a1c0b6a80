"""The exception of a stop of the computation."""

from . import _core


class StopError(RuntimeError):
    """A stop of the computation: `code` is the program's stop code, `message`
    its diagnostic (or the code's documented meaning)."""

    def __init__(self, code, message=""):
        self.code = int(code)
        self.message = message or _core.stop_meaning(self.code)
        super().__init__(f"STOP {self.code}: {self.message}")

    def __reduce__(self):
        return (StopError, (self.code, self.message))
