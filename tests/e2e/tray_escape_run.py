"""Escape on the focused card once the notification area has docked its icon.

Docking the icon, Wine's shell activates windows of its own. When that comes
after the card has the focus (a notification area that starts late, or is
slow), the X focus stays on the card, focusing it again changes nothing, and
Wine sends its keys to the shell. trayer starts here once the card has the
focus, so the docking always comes after; Escape must still end the program
with exit code 0.
"""

from card import CardRun, closeWithEscape, main, parseArgs, requireExe, walkGreetings
from tray_run import TRAY_HEIGHT, Tray


def run():
    args = parseArgs()
    requireExe(args.exe)
    with CardRun(args) as card:
        _, window = walkGreetings(card)
        card.display.focus(window.id)
        card.startTray(TRAY_HEIGHT)
        print(f"tray icon at {Tray(card, window).icon().rect}")
        code = closeWithEscape(card, window)
        assert code == 0, f"Escape after the icon docked ended the program with exit code {code}, not 0"


if __name__ == "__main__":
    main(run)
