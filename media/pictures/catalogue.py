# Every atlas item: number, frame count, frame size, the routine that draws a frame, and its group.
# Groups: "shared" items sit at the same texels with the same picture in the main and tutorial atlases;
# "menu" items are only drawn by the menus, and the tutorial atlas reuses their block for "tutorial" items.
import art_sea as sea
import art_hud as hud
import art_menu as menu


class Item:
    def __init__(self, num, frames, w, h, draw, group="shared"):
        self.num, self.frames, self.w, self.h, self.draw, self.group = num, frames, w, h, draw, group


def items():
    out = []
    add = lambda *a, **k: out.append(Item(*a, **k))
    for k in range(1, 9):
        add(k, 5, 50, 50, sea.creature)
    add(9, 1, 50, 50, sea.egg)
    for k in range(10, 16):
        add(k, 6, 50, 50, sea.powerup)
    add(16, 1, 320, 480, None, "fixed")
    add(17, 2, 50, 50, sea.selection)
    add(18, 1, 306, 20, hud.clock_bar)
    for k in (19, 45, 47, 52):
        add(k, 1, 300, 14, hud.clock_bar)
    add(51, 1, 314, 14, hud.clock_bar)
    add(20, 10, 16, 24, hud.digit)
    add(21, 12, 16, 18, hud.digit)
    add(24, 11, 16, 22, hud.digit)
    add(22, 1, 300, 18, hud.panel_labels)
    add(23, 1, 50, 50, hud.power_slot)
    add(25, 4, 56, 56, menu.mode_icon, "menu")
    add(26, 1, 2 * (menu.NAME_CENTRE - menu.LOCK_TAG_X), 36, menu.locked_tag, "menu")
    add(27, 1, 280, 10, menu.divider, "menu")
    add(28, 1, 96, 30, menu.text_plate, "menu")
    for k in (30, 31, 32, 33, 35, 36):
        add(k, 1, 50, 50, hud.control)
    add(42, 48, 32, 36, menu.font_glyph, "fixed")
    add(44, 9, 50, 50, sea.burst)
    add(46, 9, 50, 50, sea.burst)
    add(50, 1, 318, 20, hud.slider_track)
    add(70, 1, 28, 30, hud.slider_knob)
    for k in (53, 54, 55, 56):
        add(k, 1, 14, 14, sea.sparkle)
    add(57, 1, 6, 6, sea.bubble)
    add(58, 1, 10, 10, sea.bubble)
    add(59, 1, 16, 16, sea.bubble)
    add(62, 1, 320, 120, hud.panel)
    add(63, 1, 30, 30, sea.reward_star)
    for k in (64, 65, 66):
        add(k, 1, 14, 14, sea.piece)
    add(67, 1, 50, 8, hud.progress_bar, "menu")
    add(68, 1, 48, 6, hud.progress_bar, "menu")
    add(69, 1, 50, 50, hud.lock_icon, "menu")
    for k in range(71, 86):
        add(k, 1, 50, 50, hud.challenge_icon)
    add(86, 48, 13, 18, menu.font_glyph)
    add(87, 1, 29, 13, hud.corner)
    add(89, 1, 29, 13, hud.corner)
    for k, w, h in ((88, 173, 27), (97, 192, 27), (98, 208, 29), (99, 133, 27), (100, 183, 29), (101, 187, 27)):
        add(k, 1, w, h, menu.word_button, "menu")
    for k in range(90, 97):
        add(k, 1, 44, 60, menu.logo_letter, "menu")
    for k in range(102, 106):
        add(k, 1, 314, 90, menu.mode_tile, "menu")
    for tile, (name, k, x, _) in menu.MODES.items():
        add(k, 1, 2 * (menu.NAME_CENTRE - x), menu.NAME_HEIGHT, menu.mode_name, "menu")
    add(110, 6, 44, 16, hud.clock_gain)
    for k in (111, 112, 113, 114):
        add(k, 1, 56, 24, hud.mode_tag)
    add(115, 1, 220, 56, hud.challenge_notice)
    add(116, 6, 64, 75, hud.grid_frame, "menu")
    add(117, 1, 150, 24, hud.notice_word)
    add(119, 1, 150, 24, hud.notice_word)
    for t in menu.TUTORIAL:
        add(t[0], 1, 300, 76, menu.tutorial_panel, "tutorial")
    add(menu.TUTORIAL_NEXT, 1, 75, 30, menu.tutorial_answer, "tutorial")
    add(menu.TUTORIAL_EXIT, 1, 75, 30, menu.tutorial_answer, "tutorial")
    out.sort(key=lambda i: i.num)
    return out
