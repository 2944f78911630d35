"""The tray icon in an XEmbed notification area (trayer): its menu and commands.

A left click and a double click open nothing; a right click opens the menu
with 声音 checked; 声音 toggles its check mark (there is no MIDI device under
Wine: the toggle must still work and no message may show); 帮助 shows the help
box; 退出 ends the program with exit code 0.

The notification area sits along the bottom right corner, right under the
card: snowflakes that come that way touch the card first and vanish, so none
can cover the icon and take a click meant for it.
"""

import itertools

from card import CardRun, main, parseArgs, requireExe, settled, shellWindows, stablePicture, walkGreetings
from poll import Timeout, waitFor
from screen import capture

TRAY_HEIGHT = 20
HELP_TITLE = "圣诞快乐！！"
MENU_ITEMS = ["声音", "帮助", "退出"]


def isDark(pixel):
    return max(pixel) < 128


class Tray:
    def __init__(self, card, main):
        self.card = card
        self.display = card.display
        self.main = main

    def icon(self):
        """The program's icon, docked in the notification area by Wine's shell, painted, and in
        the same place for a while: while it docks, trayer shows it first at a passing size."""
        def painted():
            docked = shellWindows(self.card, self.display.descendants(self.card.tray.id))
            if docked and len(capture(self.display).crop(*docked[0].rect).colours()) > 2:
                return docked[0]
            return None

        icon = waitFor("the tray icon, docked and painted", settled(painted), timeout=60)
        capture(self.display).crop(*icon.rect).savePng(self.card.artifact("tray-icon.png"))
        return icon

    def popups(self):
        """The program's windows other than the main window: menus and boxes."""
        return [w for w in self.card.windows() if w.id != self.main.id]

    def click(self, icon, button, repeat=1):
        x, y = icon.x + icon.width // 2, icon.y + icon.height // 2
        args = ["mousemove", str(x), str(y), "click"]
        if repeat > 1:
            args += ["--repeat", str(repeat), "--delay", "80"]
        self.display.run("xdotool", *args, str(button))

    def openMenu(self, icon):
        self.click(icon, 3)
        found = waitFor("the tray menu", settled(self.popups), timeout=20)
        assert len(found) == 1 and found[0].name == "", f"a right click opened {found}, not one menu"
        menu = found[0]
        picture = waitFor("the tray menu to be painted", lambda: capture(self.display).crop(*menu.rect),
                          timeout=20, until=lambda p: sum(1 for i in range(0, len(p.rgb), 3)
                                                          if isDark(p.rgb[i:i + 3])) > 20)
        return menu, picture

    @staticmethod
    def itemBand(menu, index):
        """Rows (top, bottom) of a menu item, relative to the menu: the frame's few pixels aside,
        the items share the height equally."""
        band = (menu.height - 6) / len(MENU_ITEMS)
        return int(3 + index * band), int(3 + (index + 1) * band)

    def checked(self, menu, picture):
        """Which items show a check mark: dark pixels left of where the item texts begin."""
        def darkColumns(index):
            top, bottom = self.itemBand(menu, index)
            return {x for y in range(top, bottom) for x in range(picture.width) if isDark(picture.pixel(x, y))}
        columns = [darkColumns(i) for i in range(len(MENU_ITEMS))]
        # 帮助 never has a check mark: its text shows where texts begin.
        assert columns[1], "the tray menu shows no text"
        textStart = min(columns[1])
        return [any(x < textStart - 2 for x in c) for c in columns]

    def choose(self, menu, item):
        """Points at the item until the menu lights it up, then clicks it: the click lands on a
        menu that is tracking the pointer, and a program that no longer reacts shows as such."""
        top, bottom = self.itemBand(menu, MENU_ITEMS.index(item))
        x, y = menu.x + menu.width // 2, menu.y + (top + bottom) // 2
        band = (menu.x, menu.y + top, menu.width, bottom - top)
        unlit = capture(self.display).crop(*band).rgb
        moves = itertools.count()

        def pointed():
            # Alternate by a pixel so that every poll sends the menu a motion.
            self.display.run("xdotool", "mousemove", str(x), str(y + next(moves) % 2))
            return capture(self.display).crop(*band).rgb

        waitFor(f"the menu to light up {item}", pointed, timeout=30, until=lambda rgb: rgb != unlit)
        self.display.click(x, y, 1)
        waitFor("the tray menu to close", lambda: not self.display.isViewable(menu.id), timeout=30)

    def nothingOpens(self, icon, what, button, repeat=1):
        """Clicks and watches for a while that no window opens (the program may take its time)."""
        self.click(icon, button, repeat)
        try:
            opened = waitFor(f"a window after {what}", self.popups, timeout=3)
        except Timeout:
            return
        raise AssertionError(f"{what} on the tray icon opened {opened}")


def run():
    args = parseArgs()
    requireExe(args.exe)
    with CardRun(args, trayHeight=TRAY_HEIGHT) as card:
        _, window = walkGreetings(card)
        tray = Tray(card, window)
        icon = tray.icon()
        print(f"tray icon at {icon.rect}")

        tray.nothingOpens(icon, "a left click", 1)
        tray.nothingOpens(icon, "a double click", 1, repeat=2)

        menu, picture = tray.openMenu(icon)
        picture.savePng(card.artifact("menu.png"))
        assert tray.checked(menu, picture) == [True, False, False], \
            f"the menu's check marks are {tray.checked(menu, picture)}, not 声音 alone"

        # Sound off, then on again: the mark follows, and no message shows.
        for expected in ([False, False, False], [True, False, False]):
            tray.choose(menu, "声音")
            menu, picture = tray.openMenu(icon)
            assert tray.checked(menu, picture) == expected, \
                f"after choosing 声音 the check marks are {tray.checked(menu, picture)}, not {expected}"

        tray.choose(menu, "帮助")
        boxes = waitFor("the help box", settled(tray.popups), timeout=20)
        assert [b.name for b in boxes] == [HELP_TITLE], f"帮助 opened {boxes}, not the help box"
        help = boxes[0]
        stablePicture(card, help, "the help box")[1].savePng(card.artifact("help.png"))
        card.display.focus(help.id)
        card.display.key("Return")
        waitFor("the help box to close", lambda: not card.display.isViewable(help.id), timeout=20)

        menu, _ = tray.openMenu(icon)
        tray.choose(menu, "退出")
        code = card.program.waitExit(timeout=30)
        assert code == 0, f"退出 ended the program with exit code {code}, not 0"


if __name__ == "__main__":
    main(run)
