#!/usr/bin/python3
"""Draws the thirteen bitmaps of the compressor's editor and two preview pictures.

Run with Debian's interpreter (it carries Pillow and numpy):

    /usr/bin/python3 resources/generate/draw_panel.py

Shapes are rendered at four times the final size and averaged down so that knobs,
LEDs and buttons have smooth edges; text is rendered at the final size with the
font's hinting so that it stays sharp at 1:1. The panel's 8-bit bitmaps share one
palette, which is why a control's corners match the panel behind it exactly.
Nothing here depends on the time or on randomness, so a second run writes the
same bytes.
"""

import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
BITMAP_DIR = os.path.join(ROOT, "resources", "bitmaps")
DOCS_DIR = os.path.join(ROOT, "docs")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

SUPERSAMPLING = 4
PANEL_SIZE = (304, 119)

# Where the editor places each control on the panel: x, y, width, height.
PANEL_LAYOUT = {
    "copy": (0, 99, 40, 20),
    "paste": (40, 99, 40, 20),
    "reset": (264, 99, 40, 20),
    "next": (244, 99, 20, 20),
    "previous": (224, 99, 20, 20),
    "preset": (80, 99, 40, 20),
    "programName": (120, 99, 104, 20),
    "aboutHotZone": (204, 72, 94, 21),
    "powerLed": (20, 49, 7, 15),
    "powerButton": (27, 20, 29, 29),
    "ratio": (64, 20, 44, 44),
    "threshold": (108, 20, 44, 44),
    "attack": (152, 20, 44, 44),
    "release": (196, 20, 44, 44),
    "makeUpGain": (240, 20, 44, 44),
    "meter": (20, 74, 115, 9),
}

KNOBS = ("ratio", "threshold", "attack", "release", "makeUpGain")

# The resource files: name, strip width, height, bits per pixel, frame width.
BITMAP_FILES = {
    128: ("meter.bmp", 1855, 9, 8, 115),
    129: ("background.bmp", 304, 119, 8, 304),
    130: ("power-button.bmp", 87, 29, 24, 29),
    131: ("power-led.bmp", 23, 15, 8, 7),
    132: ("knob.bmp", 2200, 44, 8, 44),
    133: ("about.bmp", 268, 280, 8, 268),
    134: ("copy.bmp", 80, 20, 24, 40),
    135: ("paste.bmp", 80, 20, 24, 40),
    136: ("reset.bmp", 80, 20, 24, 40),
    137: ("next.bmp", 40, 20, 24, 20),
    138: ("previous.bmp", 40, 20, 24, 20),
    139: ("program-names.bmp", 416, 20, 24, 104),
    140: ("preset.bmp", 80, 20, 24, 40),
}

PROGRAM_NAMES = ("Default", "Limiter -6dB", "Limiter -12dB", "Soft Compression")

# Knob labels and the legends at the two ends of each knob's travel.
KNOB_LEGENDS = {
    "ratio": ("RATIO", "1:1", "20:1"),
    "threshold": ("THRESHOLD", "-Inf dB", "0"),
    "attack": ("ATTACK", "1 \u00b5s", "1600"),
    "release": ("RELEASE", "1 ms", "1600"),
    "makeUpGain": ("MAKE-UP\nGAIN", "-20 dB", "+20"),
}

# Values of program 0, the state the editor opens in: power on, then ratio,
# threshold, attack, release and make-up gain.
FACTORY_KNOB_VALUES = {"ratio": 0.5, "threshold": 0.6, "attack": 0.18,
                       "release": 0.55, "makeUpGain": 0.6}

KNOB_FRAMES = 50
KNOB_TRAVEL_DEGREES = 270.0
# Horizontal distance from a knob's centre to the ends of its scale.
KNOB_SCALE_END_OFFSET = 13.5
METER_LEDS = 15
METER_LED_PITCH = 7

# One palette for everything on the panel.
FACE_TOP = (62, 65, 71)
FACE_BOTTOM = (45, 48, 53)
INK = (240, 237, 228)
INK_LEGEND = (200, 202, 206)
GROOVE_DARK = (24, 25, 28)
GROOVE_LIGHT = (92, 96, 103)
BAND = (0, 0, 0)
AMBER = (255, 178, 52)
AMBER_UNLIT = (70, 48, 22)
RED = (255, 64, 44)
RED_UNLIT = (72, 24, 20)
GREEN = (96, 236, 96)
GREEN_UNLIT = (26, 62, 30)
WINDOW_BLACK = (8, 9, 11)


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size)


LABEL_FONT = font("DejaVuSansCondensed.ttf", 9)
LEGEND_FONT = font("DejaVuSansCondensed.ttf", 9)
BUTTON_FONT = font("DejaVuSansCondensed-Bold.ttf", 9)
CHEVRON_FONT = font("DejaVuSans-Bold.ttf", 12)
DISPLAY_FONT = font("DejaVuSansCondensed-Bold.ttf", 9)
PLATE_BOLD_FONT = font("DejaVuSans-Bold.ttf", 9)
PLATE_FONT = font("DejaVuSansCondensed-Bold.ttf", 9)


# ---------------------------------------------------------------------------
# Supersampled drawing: a float RGBA layer at four times the final size.

class Layer:
    """A premultiplied float RGBA picture drawn at SUPERSAMPLING times its size."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        s = SUPERSAMPLING
        self.rgb = np.zeros((height * s, width * s, 3))
        self.alpha = np.zeros((height * s, width * s))
        # Sample centres in final-pixel units, so shapes are described at 1:1.
        ys = (np.arange(height * s) + 0.5) / s
        xs = (np.arange(width * s) + 0.5) / s
        self.x, self.y = np.meshgrid(xs, ys)

    def paint(self, coverage, colour, opacity=1.0):
        """Lays colour (RGB tuple or HxWx3 array) over the samples where coverage is 1."""
        weight = np.clip(coverage, 0.0, 1.0) * opacity
        colour = np.broadcast_to(np.asarray(colour, dtype=float), self.rgb.shape)
        self.rgb = self.rgb * (1 - weight[..., None]) + colour * weight[..., None]
        self.alpha = self.alpha * (1 - weight) + weight

    def circle(self, cx, cy, radius):
        return (np.hypot(self.x - cx, self.y - cy) <= radius).astype(float)

    def ring(self, cx, cy, inner, outer):
        d = np.hypot(self.x - cx, self.y - cy)
        return ((d >= inner) & (d <= outer)).astype(float)

    def rounded_rect(self, x0, y0, x1, y1, radius):
        """Coverage of a rectangle from (x0, y0) to (x1, y1) with rounded corners."""
        cx = np.clip(self.x, x0 + radius, x1 - radius)
        cy = np.clip(self.y, y0 + radius, y1 - radius)
        inside = (self.x >= x0) & (self.x <= x1) & (self.y >= y0) & (self.y <= y1)
        return (inside & (np.hypot(self.x - cx, self.y - cy) <= radius)).astype(float)

    def segment(self, x0, y0, x1, y1, half_width):
        """Coverage of a line with round ends."""
        dx, dy = x1 - x0, y1 - y0
        length_sq = dx * dx + dy * dy
        t = np.clip(((self.x - x0) * dx + (self.y - y0) * dy) / length_sq, 0, 1)
        d = np.hypot(self.x - (x0 + t * dx), self.y - (y0 + t * dy))
        return (d <= half_width).astype(float)

    def vertical_gradient(self, top_colour, bottom_colour, y0, y1):
        t = np.clip((self.y - y0) / max(y1 - y0, 1e-6), 0, 1)[..., None]
        return np.asarray(top_colour) * (1 - t) + np.asarray(bottom_colour) * t

    def diagonal_gradient(self, light, dark, cx, cy, radius):
        """Light from the upper left, as a lamp above the desk would give."""
        t = ((self.x - cx) + (self.y - cy)) / (2 * radius) * 0.7071 + 0.5
        t = np.clip(t, 0, 1)[..., None]
        return np.asarray(light) * (1 - t) + np.asarray(dark) * t

    def glow(self, cx, cy, radius):
        """A soft falloff that is 1 at the centre and 0 at radius."""
        d = np.hypot(self.x - cx, self.y - cy) / radius
        return np.clip(1 - d, 0, 1) ** 2

    def over(self, backdrop):
        """Averages the layer down to its final size and lays it over an RGB image."""
        s = SUPERSAMPLING
        h, w = self.height, self.width
        premultiplied = self.rgb * self.alpha[..., None]
        rgb = premultiplied.reshape(h, s, w, s, 3).mean(axis=(1, 3))
        alpha = self.alpha.reshape(h, s, w, s).mean(axis=(1, 3))
        base = np.asarray(backdrop.convert("RGB"), dtype=float)
        result = base * (1 - alpha[..., None]) + rgb
        return Image.fromarray(np.clip(np.rint(result), 0, 255).astype(np.uint8), "RGB")


# ---------------------------------------------------------------------------
# Text at 1:1.

def text(image, position, content, typeface, colour, anchor="ms"):
    """Draws content with its baseline at position; anchor as in Pillow."""
    ImageDraw.Draw(image).text(position, content, font=typeface, fill=colour, anchor=anchor)


def text_width(content, typeface):
    left, _, right, _ = typeface.getbbox(content, anchor="ls")
    return right - left


# Scale legends sit close together under the knobs, so a number and its unit
# are set with a narrow gap instead of a full space.
LEGEND_WORD_GAP = 2
LEGEND_GAP = 7
LEGEND_PAIR_GAP = 6
LEGEND_BASELINE = 72


def legend_width(content):
    words = content.split(" ")
    return sum(text_width(word, LEGEND_FONT) for word in words) + LEGEND_WORD_GAP * (len(words) - 1)


def legend(image, left, baseline, content):
    for word in content.split(" "):
        text(image, (left, baseline), word, LEGEND_FONT, INK_LEGEND, anchor="ls")
        left += text_width(word, LEGEND_FONT) + LEGEND_WORD_GAP


# ---------------------------------------------------------------------------
# The panel face and the background bitmap.

def face_shade(t):
    """The anodised face, lit from above: t runs from 0 at the top to 1 at the bottom."""
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(FACE_TOP, FACE_BOTTOM))


def face_colour_at_row(y):
    return face_shade(y / (PANEL_SIZE[1] - 1))


def draw_face():
    image = Image.new("RGB", PANEL_SIZE)
    draw = ImageDraw.Draw(image)
    for y in range(PANEL_SIZE[1]):
        draw.line([(0, y), (PANEL_SIZE[0] - 1, y)], fill=face_colour_at_row(y))
    return image


def rect_centre_x(name):
    x, _, w, _ = PANEL_LAYOUT[name]
    return x + w / 2.0


def draw_bevel(draw, x0, y0, x1, y1):
    """A recess around a window: dark on top and left, light on bottom and right."""
    draw.line([(x0, y0), (x1, y0)], fill=GROOVE_DARK)
    draw.line([(x0, y0), (x0, y1)], fill=GROOVE_DARK)
    draw.line([(x0, y1), (x1, y1)], fill=GROOVE_LIGHT)
    draw.line([(x1, y0), (x1, y1)], fill=GROOVE_LIGHT)


def draw_background():
    image = draw_face()
    draw = ImageDraw.Draw(image)
    width, height = PANEL_SIZE

    # Edge highlights of the front plate and the black band of the program row.
    draw.line([(0, 0), (width - 1, 0)], fill=GROOVE_LIGHT)
    draw.line([(0, 0), (0, 98)], fill=GROOVE_LIGHT)
    draw.line([(width - 1, 0), (width - 1, 98)], fill=GROOVE_DARK)
    draw.rectangle([0, 99, width - 1, height - 1], fill=BAND)
    draw.line([(0, 98), (width - 1, 98)], fill=GROOVE_DARK)

    # Labels over the power switch and the knobs, sharing one baseline.
    # A label too long for its knob takes two lines, growing upwards.
    label_baseline = 17
    text(image, (rect_centre_x("powerButton"), label_baseline), "POWER", LABEL_FONT, INK)
    for name in KNOBS:
        lines = KNOB_LEGENDS[name][0].split("\n")
        for i, line in enumerate(reversed(lines)):
            text(image, (rect_centre_x(name), label_baseline - 9 * i), line, LABEL_FONT, INK)

    # On and Off beside the two LEDs, each line level with its LED.
    led_x, led_y, led_w, _ = PANEL_LAYOUT["powerLed"]
    text(image, (led_x + led_w + 3, led_y + 7), "On", LEGEND_FONT, INK, anchor="ls")
    text(image, (led_x + led_w + 3, led_y + 15), "Off", LEGEND_FONT, INK, anchor="ls")

    # The scale legends under the two ends of each knob's travel.
    for left, content in place_legends():
        legend(image, left, LEGEND_BASELINE, content)

    # The meter sits in a recess; its label goes underneath.
    mx, my, mw, mh = PANEL_LAYOUT["meter"]
    draw_bevel(draw, mx - 1, my - 1, mx + mw, my + mh)
    # Marks in the gaps after every fifth LED, counted from the right where
    # the meter starts, help to read how many are lit.
    first = mx + meter_first_led_x()
    for lit in range(0, METER_LEDS + 1, 5):
        led = METER_LEDS - lit
        gap_x = first + led * METER_LED_PITCH - 1
        draw.line([(gap_x, my + mh + 1), (gap_x, my + mh + 2)], fill=INK_LEGEND)
    text(image, (mx + mw / 2.0, my + mh + 12), "GAIN REDUCTION", LABEL_FONT, INK)

    draw_name_plate(image)
    return image


def draw_name_plate(image):
    hx, hy, hw, hh = PANEL_LAYOUT["aboutHotZone"]
    x0, y0, x1, y1 = hx + 2, hy + 3, hx + hw - 2, hy + hh - 1
    layer = Layer(*PANEL_SIZE)
    layer.paint(layer.rounded_rect(x0 + 0.5, y0 + 1, x1 + 1.5, y1 + 2, 2.5), (10, 10, 12), 0.6)
    plate = layer.vertical_gradient((214, 216, 220), (170, 173, 178), y0, y1 + 1)
    layer.paint(layer.rounded_rect(x0, y0, x1 + 1, y1 + 1, 2.5), plate)
    image.paste(layer.over(image))
    dark = (28, 29, 33)
    bold, regular = "ZQ3R ", "Compressor"
    total = text_width(bold, PLATE_BOLD_FONT) + text_width(regular, PLATE_FONT)
    left = (x0 + x1 + 1) / 2.0 - total / 2.0
    baseline = (y0 + y1 + 1) // 2 + 4
    text(image, (left, baseline), bold, PLATE_BOLD_FONT, dark, anchor="ls")
    text(image, (left + text_width(bold, PLATE_BOLD_FONT), baseline), regular, PLATE_FONT,
         dark, anchor="ls")


def place_legends():
    """Left edges for the ten scale legends.

    Each knob's two legends form a pair centred under the knob, the low end on
    the left and the high end on the right. The knobs stand close, so pairs
    that would come nearer than a legend gap are moved apart as a group, as
    little as possible from where they want to be.
    """
    groups = []
    for name in KNOBS:
        _, low, high = KNOB_LEGENDS[name]
        low_width, high_width = legend_width(low), legend_width(high)
        width = low_width + LEGEND_PAIR_GAP + high_width
        items = [(0.0, low_width, low), (low_width + LEGEND_PAIR_GAP, high_width, high)]
        wished_left = rect_centre_x(name) - width / 2.0
        group = {"items": items, "wish": [wished_left, wished_left + items[1][0]],
                 "left": wished_left}
        while groups and overlaps(groups[-1], group):
            group = merge(groups.pop(), group)
        groups.append(group)
    placed = []
    for group in groups:
        for offset, _, content in group["items"]:
            placed.append((int(round(group["left"] + offset)), content))
    return placed


def group_width(group):
    offset, width, _ = group["items"][-1]
    return offset + width


def overlaps(first, second):
    return first["left"] + group_width(first) + LEGEND_GAP > second["left"]


def merge(first, second):
    shift = group_width(first) + LEGEND_GAP
    items = first["items"] + [(offset + shift, width, content)
                              for offset, width, content in second["items"]]
    wishes = first["wish"] + second["wish"]
    # The left edge that moves the legends least from where they want to be.
    left = sum(wish - item[0] for wish, item in zip(wishes, items)) / len(items)
    return {"items": items, "wish": wishes, "left": left}


def backdrop(background, name):
    x, y, w, h = PANEL_LAYOUT[name]
    return background.crop((x, y, x + w, y + h))


# ---------------------------------------------------------------------------
# Knob strip 132.

def knob_angle(frame):
    """Degrees clockwise from straight up for a frame of the strip."""
    return -KNOB_TRAVEL_DEGREES / 2 + KNOB_TRAVEL_DEGREES * frame / (KNOB_FRAMES - 1)


def paint_knob(layer, c, scale, angle_degrees):
    """A black knob with a grey cap and an amber pointer, centred at (c, c).

    scale 1 is the panel's knob; the about picture draws the same knob larger.
    """
    # Scale: eleven ticks over the travel, the two ends longer and brighter.
    for i in range(11):
        a = math.radians(-135 + 27 * i)
        is_end = i in (0, 10)
        inner = (17.3 if is_end else 18.0) * scale
        outer = 19.8 * scale
        sx, sy = math.sin(a), -math.cos(a)
        layer.paint(layer.segment(c + inner * sx, c + inner * sy, c + outer * sx, c + outer * sy,
                                  0.5 * scale), INK if is_end else INK_LEGEND)
    layer.paint(layer.circle(c + 0.8 * scale, c + 1.4 * scale, 16.0 * scale), (0, 0, 0), 0.45)
    layer.paint(layer.circle(c, c, 15.5 * scale),
                layer.diagonal_gradient((74, 76, 82), (14, 15, 17), c, c, 15.5 * scale))
    # Knurling on the skirt.
    for i in range(24):
        a = 2 * math.pi * i / 24
        sx, sy = math.sin(a), -math.cos(a)
        layer.paint(layer.segment(c + 13.3 * scale * sx, c + 13.3 * scale * sy,
                                  c + 15.2 * scale * sx, c + 15.2 * scale * sy, 0.5 * scale),
                    (6, 6, 8), 0.55)
    layer.paint(layer.circle(c, c, 12.3 * scale),
                layer.diagonal_gradient((128, 132, 139), (40, 42, 46), c, c, 12.3 * scale))
    layer.paint(layer.circle(c, c, 10.9 * scale),
                layer.diagonal_gradient((88, 91, 97), (56, 58, 63), c, c, 10.9 * scale))
    a = math.radians(angle_degrees)
    sx, sy = math.sin(a), -math.cos(a)
    layer.paint(layer.segment(c + 4.5 * scale * sx, c + 4.5 * scale * sy,
                              c + 14.2 * scale * sx, c + 14.2 * scale * sy, 1.1 * scale), AMBER)


def draw_knob_frame(face, angle_degrees):
    size = face.size[0]
    layer = Layer(size, size)
    paint_knob(layer, size / 2.0, 1.0, angle_degrees)
    return layer.over(face)


def draw_knob_strip(background):
    face = backdrop(background, "ratio")
    for name in KNOBS:
        if backdrop(background, name).tobytes() != face.tobytes():
            sys.exit("the panel behind the %s knob differs from the others" % name)
    strip = Image.new("RGB", (44 * KNOB_FRAMES, 44))
    for frame in range(KNOB_FRAMES):
        strip.paste(draw_knob_frame(face, knob_angle(frame)), (44 * frame, 0))
    return strip


# ---------------------------------------------------------------------------
# Gain meter strip 128.

def meter_led_colour(index_from_right):
    if index_from_right >= 10:
        return RED, RED_UNLIT
    return AMBER, AMBER_UNLIT


def meter_first_led_x():
    """Left edge of the leftmost LED within the meter strip: the row is centred."""
    width = PANEL_LAYOUT["meter"][2]
    return (width - (METER_LEDS * METER_LED_PITCH - 1)) // 2


def draw_meter_frame(lit):
    w, h = PANEL_LAYOUT["meter"][2:]
    window = Image.new("RGB", (w, h), WINDOW_BLACK)
    layer = Layer(w, h)
    pitch = METER_LED_PITCH
    first = meter_first_led_x()
    for i in range(METER_LEDS):
        from_right = METER_LEDS - 1 - i
        on, off = meter_led_colour(from_right)
        x0 = first + i * pitch
        is_lit = from_right < lit
        layer.paint(layer.rounded_rect(x0, 2, x0 + 6, h - 2, 1.2), on if is_lit else off)
        if is_lit:
            highlight = tuple(min(255, c + 60) for c in on)
            layer.paint(layer.rounded_rect(x0 + 1, 2.6, x0 + 5, 4.2, 0.8), highlight, 0.6)
    return layer.over(window)


def draw_meter_strip():
    w, h = PANEL_LAYOUT["meter"][2:]
    strip = Image.new("RGB", (1855, h), WINDOW_BLACK)
    for lit in range(METER_LEDS + 1):
        strip.paste(draw_meter_frame(lit), (w * lit, 0))
    return strip


# ---------------------------------------------------------------------------
# Power LED strip 131 and power button strip 130.

def draw_led(layer, cx, cy, lit, on_colour, off_colour):
    layer.paint(layer.circle(cx, cy, 3.4), (12, 12, 14))
    if lit:
        layer.paint(layer.circle(cx, cy, 2.7), on_colour)
        layer.paint(layer.circle(cx - 0.8, cy - 0.9, 1.1), (255, 255, 240), 0.7)
    else:
        layer.paint(layer.circle(cx, cy, 2.7), off_colour)
        layer.paint(layer.circle(cx - 0.8, cy - 0.9, 0.9), (255, 255, 255), 0.15)


def draw_power_led_strip(background):
    face = backdrop(background, "powerLed")
    strip = Image.new("RGB", (23, 15))
    for frame, (upper, lower) in enumerate(((True, False), (False, False), (False, True))):
        layer = Layer(7, 15)
        draw_led(layer, 3.5, 3.5, upper, GREEN, GREEN_UNLIT)
        draw_led(layer, 3.5, 11.5, lower, RED, RED_UNLIT)
        strip.paste(layer.over(face), (7 * frame, 0))
    strip.paste(face.crop((0, 0, 2, 15)), (21, 0))
    return strip


def draw_power_button_frame(face, lit):
    layer = Layer(29, 29)
    c = 14.5
    layer.paint(layer.circle(c + 0.6, c + 1.0, 14.4), (0, 0, 0), 0.45)
    layer.paint(layer.circle(c, c, 14.0), layer.diagonal_gradient((150, 154, 160), (30, 31, 35), c, c, 14.0))
    layer.paint(layer.circle(c, c, 11.6), (10, 10, 12))
    shift = 0.0 if lit else 1.0
    cx, cy = c + shift * 0.5, c + shift
    cap_light, cap_dark = ((96, 99, 106), (48, 50, 55)) if lit else ((56, 58, 63), (30, 31, 34))
    layer.paint(layer.circle(cx, cy, 10.6), layer.diagonal_gradient(cap_light, cap_dark, cx, cy, 10.6))
    symbol = AMBER if lit else (92, 94, 98)
    if lit:
        layer.paint(layer.glow(cx, cy, 9.5), AMBER, 0.35)
    # The power symbol: an open ring with a bar through its gap.
    d = np.hypot(layer.x - cx, layer.y - cy)
    angle = np.degrees(np.arctan2(layer.x - cx, -(layer.y - cy)))
    ring = ((d >= 4.2) & (d <= 5.9) & (np.abs(angle) >= 40)).astype(float)
    layer.paint(ring, symbol)
    layer.paint(layer.segment(cx, cy - 7.0, cx, cy - 2.2, 0.85), symbol)
    return layer.over(face)


def draw_power_button_strip(background):
    face = backdrop(background, "powerButton")
    strip = Image.new("RGB", (87, 29))
    for frame, lit in enumerate((True, True, False)):
        strip.paste(draw_power_button_frame(face, lit), (29 * frame, 0))
    return strip


# ---------------------------------------------------------------------------
# Program row: buttons 134 to 138 and 140, names 139.

def draw_key(width, label, pressed, typeface):
    band = Image.new("RGB", (width, 20), BAND)
    layer = Layer(width, 20)
    shift = 1 if pressed else 0
    x0, y0, x1, y1 = 1.5 + shift, 1.5 + shift, width - 1.5 + shift, 18.5 + shift
    top, bottom = ((92, 96, 103), (58, 61, 67)) if not pressed else ((50, 52, 57), (38, 40, 44))
    layer.paint(layer.rounded_rect(x0 - 0.8, y0 - 0.8, x1 + 0.8, y1 + 0.8, 3.0), (30, 31, 34))
    layer.paint(layer.rounded_rect(x0, y0, x1, y1, 2.4), layer.vertical_gradient(top, bottom, y0, y1))
    if not pressed:
        layer.paint(layer.rounded_rect(x0 + 1, y0 + 0.3, x1 - 1, y0 + 1.1, 0.4), (140, 144, 150), 0.7)
    key = layer.over(band)
    colour = INK if not pressed else (150, 150, 146)
    text(key, (width / 2.0 + shift, 14 + shift), label, typeface, colour)
    return key


def draw_button_strip(label, width):
    typeface = CHEVRON_FONT if label in ("<", ">") else BUTTON_FONT
    strip = Image.new("RGB", (2 * width, 20))
    strip.paste(draw_key(width, label, False, typeface), (0, 0))
    strip.paste(draw_key(width, label, True, typeface), (width, 0))
    return strip


def draw_program_name(name):
    band = Image.new("RGB", (104, 20), BAND)
    layer = Layer(104, 20)
    layer.paint(layer.rounded_rect(1.5, 1.5, 102.5, 18.5, 2.0), (44, 46, 50))
    layer.paint(layer.rounded_rect(2.5, 2.5, 101.5, 17.5, 1.5), WINDOW_BLACK)
    display = layer.over(band)
    text(display, (52, 14), name, DISPLAY_FONT, AMBER)
    return display


def draw_program_names_strip():
    strip = Image.new("RGB", (416, 20))
    for i, name in enumerate(PROGRAM_NAMES):
        strip.paste(draw_program_name(name), (104 * i, 0))
    return strip


# ---------------------------------------------------------------------------
# About picture 133.

def draw_about():
    width, height = 268, 280
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        draw.line([(0, y), (width - 1, y)], fill=face_shade(y / (height - 1)))
    draw.rectangle([0, 0, width - 1, height - 1], outline=GROOVE_LIGHT)
    # A large knob as the emblem.
    size = 96
    layer = Layer(size, size)
    paint_knob(layer, size / 2.0, size / 44.0, 45.0)
    # Paint the emblem over the picture's own face.
    region = image.crop((86, 24, 86 + size, 24 + size))
    image.paste(layer.over(region), (86, 24))

    text(image, (width / 2, 158), "ZQ3R", font("DejaVuSans-Bold.ttf", 30), AMBER)
    text(image, (width / 2, 182), "Compressor", font("DejaVuSans.ttf", 18), INK)
    text(image, (width / 2, 206), "Version 1.0", font("DejaVuSansCondensed.ttf", 12), INK_LEGEND)
    text(image, (width / 2, 228), "Stereo peak compressor", font("DejaVuSansCondensed.ttf", 12), INK)
    text(image, (width / 2, 244), "with gain-reduction metering", font("DejaVuSansCondensed.ttf", 12), INK)
    text(image, (width / 2, 268), "Click to close", font("DejaVuSansCondensed.ttf", 10), INK_LEGEND)
    return image


# ---------------------------------------------------------------------------
# Colour reduction and output.

def shared_palette(images_and_budgets):
    """One adaptive palette for several pictures, found the same way every run.

    Each picture gets its own share of the 256 entries, so that a small picture
    such as an LED keeps its colours instead of losing them to the large panel.
    """
    entries = []
    for image, budget in images_and_budgets:
        reduced = image.quantize(colors=budget, method=Image.Quantize.MEDIANCUT,
                                 dither=Image.Dither.NONE)
        colours = reduced.getpalette()[:3 * budget]
        for i in range(0, len(colours), 3):
            entry = colours[i:i + 3]
            if len(entries) < 768 and not any(entries[j:j + 3] == entry
                                              for j in range(0, len(entries), 3)):
                entries += entry
    entries += [0] * (768 - len(entries))
    reference = Image.new("P", (1, 1))
    reference.putpalette(entries)
    return reference


def to_palette(image, reference):
    indexed = image.quantize(palette=reference, dither=Image.Dither.NONE)
    indexed.putpalette(reference.getpalette())
    return indexed


def save_bitmap(image, resource_id):
    name, width, height, bits, _ = BITMAP_FILES[resource_id]
    if image.size != (width, height):
        sys.exit("bitmap %d is %dx%d, expected %dx%d" % ((resource_id,) + image.size + (width, height)))
    expected_mode = "P" if bits == 8 else "RGB"
    if image.mode != expected_mode:
        sys.exit("bitmap %d has mode %s, expected %s" % (resource_id, image.mode, expected_mode))
    path = os.path.join(BITMAP_DIR, name)
    temporary = path + ".tmp"
    image.save(temporary, format="BMP")
    os.replace(temporary, path)


def frame_of(strip, frame_width, value):
    """The frame the editor shows for a value: whole frames counted, nearest one taken."""
    frames = strip.size[0] // frame_width
    index = int((frames - 1) * value + 0.5)
    return strip.crop((index * frame_width, 0, (index + 1) * frame_width, strip.size[1]))


def compose_panel(strips, power, meter, program, knob_values):
    """The panel as the editor paints it: the background, then every control's frame."""
    panel = strips[129].convert("RGB")

    def place(name, resource_id, value):
        x, y, w, _ = PANEL_LAYOUT[name]
        if BITMAP_FILES[resource_id][4] != w:
            sys.exit("bitmap %d has frames of another width than the %s control" % (resource_id, name))
        panel.paste(frame_of(strips[resource_id].convert("RGB"), w, value), (x, y))

    for name, resource_id in (("copy", 134), ("paste", 135), ("reset", 136), ("next", 137),
                              ("previous", 138), ("preset", 140)):
        place(name, resource_id, 0.0)
    place("programName", 139, program / (len(PROGRAM_NAMES) - 1.0))
    place("powerButton", 130, power)
    place("powerLed", 131, power)
    for name in KNOBS:
        place(name, 132, knob_values[name])
    place("meter", 128, meter)
    return panel


def save_preview(panel, file_name):
    scaled = panel.resize((panel.size[0] * 3, panel.size[1] * 3), Image.Resampling.NEAREST)
    path = os.path.join(DOCS_DIR, file_name)
    temporary = path + ".tmp"
    scaled.save(temporary, format="PNG", optimize=False)
    os.replace(temporary, path)


def check_nothing_hidden(background):
    """Stops when a label or legend would lie under a control's rectangle.

    The controls cover their rectangles completely, so anything printed there
    would never be seen. The about box's hot zone is not drawn over: the name
    plate lives in it.
    """
    face = draw_face()
    draw = ImageDraw.Draw(face)
    draw.rectangle([0, 99, PANEL_SIZE[0] - 1, PANEL_SIZE[1] - 1], fill=BAND)
    for name, (x, y, w, h) in PANEL_LAYOUT.items():
        if name == "aboutHotZone":
            continue
        box = (x, y, x + w, y + h)
        if background.crop(box).tobytes() != face.crop(box).tobytes():
            sys.exit("something is drawn under the %s control" % name)


def main():
    background = draw_background()
    check_nothing_hidden(background)
    knob = draw_knob_strip(background)
    meter = draw_meter_strip()
    power_led = draw_power_led_strip(background)

    panel_palette = shared_palette([(background, 120), (knob, 80), (meter, 32), (power_led, 24)])
    background_indexed = to_palette(background, panel_palette)
    # The 24-bit controls are drawn over the panel as it will really look.
    quantized_background = background_indexed.convert("RGB")

    strips = {
        128: to_palette(meter, panel_palette),
        129: background_indexed,
        130: draw_power_button_strip(quantized_background),
        131: to_palette(power_led, panel_palette),
        132: to_palette(knob, panel_palette),
        134: draw_button_strip("Copy", 40),
        135: draw_button_strip("Paste", 40),
        136: draw_button_strip("Reset", 40),
        137: draw_button_strip(">", 20),
        138: draw_button_strip("<", 20),
        139: draw_program_names_strip(),
        140: draw_button_strip("Preset", 40),
    }
    about = draw_about()
    strips[133] = to_palette(about, shared_palette([(about, 256)]))

    os.makedirs(BITMAP_DIR, exist_ok=True)
    os.makedirs(DOCS_DIR, exist_ok=True)
    for resource_id in sorted(strips):
        save_bitmap(strips[resource_id], resource_id)

    save_preview(compose_panel(strips, 0.0, 0.0, 0, FACTORY_KNOB_VALUES), "panel-preview.png")
    save_preview(compose_panel(strips, 0.5, 0.5, 0, FACTORY_KNOB_VALUES), "panel-preview-bypass.png")


if __name__ == "__main__":
    main()
