"""X windows as `xwininfo -root -tree` lists them."""

import re


class Window:
    def __init__(self, wid, name, wm_class, width, height, x, y, parent):
        self.id = wid
        self.name = name
        self.wm_class = wm_class  # (instance, class) or ()
        self.width = width
        self.height = height
        self.x = x  # absolute
        self.y = y
        self.parent = parent

    def __repr__(self):
        return "Window(0x%x %r %r %dx%d+%d+%d)" % (
            self.id, self.name, self.wm_class, self.width, self.height, self.x, self.y)


TREE_LINE = re.compile(
    r"^(?P<indent>\s+)(?P<id>0x[0-9a-f]+) (?P<name>\(has no name\)|\".*\"): "
    r"\((?P<cls>.*)\)\s+(?P<w>\d+)x(?P<h>\d+)[+-]-?\d+[+-]-?\d+\s+\+(?P<x>-?\d+)\+(?P<y>-?\d+)$"
)


def parse_tree(text):
    """The root window's id and the windows of `xwininfo -root -tree` output, each with its
    parent's id."""
    windows = []
    parents = []  # (indent, id) of the open ancestors
    root = re.search(r"Root window id: (0x[0-9a-f]+)", text)
    root_id = int(root.group(1), 16) if root else 0
    for line in text.splitlines():
        match = TREE_LINE.match(line)
        if not match:
            continue
        indent = len(match.group("indent"))
        while parents and parents[-1][0] >= indent:
            parents.pop()
        parent = parents[-1][1] if parents else root_id
        name = match.group("name")
        name = "" if name == "(has no name)" else name[1:-1]
        wm_class = tuple(re.findall(r"\"([^\"]*)\"", match.group("cls")))
        wid = int(match.group("id"), 16)
        windows.append(
            Window(wid, name, wm_class, int(match.group("w")), int(match.group("h")),
                   int(match.group("x")), int(match.group("y")), parent)
        )
        parents.append((indent, wid))
    return root_id, windows
