"""The fatal stop: a handler's bad table index shows the error box, and the
program ends with exit code 255 (-1) once the box is answered."""

from greetings import GREETINGS, answer, readBox, textProblems, walkGreetings
from native import NativeRun, main, parseArgs

ERROR_TITLE = "错误"
ERROR_TEXT = "运行时出错!\n\n错误代码：1\n\n错误信息：数组成员引用下标超出定义范围"


def run():
    args = parseArgs()
    with NativeRun(args) as run:
        boxes, _ = walkGreetings(run)
        error = readBox(run, ERROR_TITLE, "the error box", timeout=30, saveAs="error.png")
        # Read at the greetings' scale: the same font.
        problems = textProblems(boxes + [error], GREETINGS + (ERROR_TEXT,))
        assert not problems, "; ".join(problems)
        assert run.program.exitCode() is None, "the program ended before its error box was answered"
        answer(run, error)
        code = run.program.waitExit(timeout=30)
        assert code == 255, f"the fatal stop ended the program with exit code {code}, not 255"


if __name__ == "__main__":
    main(run)
