#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 KZemvik developers
# SPDX-License-Identifier: GPL-2.0-or-later
"""Draws every picture KZemvik ships and writes the emoticon definition file.

The pictures are drawn as SVG here and rendered with rsvg-convert; the emoticons are
rendered from the Noto Color Emoji font with PIL.  BMP pictures are written with
ImageMagick's convert.  The generated files are committed, so building the program
never runs this script.

Needs (Debian): librsvg2-bin imagemagick python3-pil fonts-nanum fonts-noto-color-emoji

Usage: data/tools/make_artwork.py            (writes data/pics, data/icons, data/emoticons and
                                              the overview data/pics/tools/contact-sheet.png)
       data/tools/make_artwork.py --sheet    (also writes labelled review sheets to /tmp/kzemvik-sheets)
"""

import math
import os
import shutil
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape, quoteattr

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.dirname(HERE)
PICS = os.path.join(DATA, "pics")
TRAY = os.path.join(PICS, "tray")
ICONS = os.path.join(DATA, "icons")
EMO = os.path.join(DATA, "emoticons")
TMP = tempfile.mkdtemp(prefix="kzemvik-art-")

CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
EMOJI_FONT = "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf"
HANGUL_FONT = "/usr/share/fonts/truetype/nanum/NanumSquareRoundB.ttf"
FONT = "NanumSquareRound"

# ---------------------------------------------------------------- palette
BRAND = "#2f86c8"        # the Zemvik blue
BRAND_DARK = "#226699"   # text colour of the windows
BRAND_LIGHT = "#6fb3e6"
BRAND_PALE = "#eaf3fb"   # tool bars, headers, button bars (matte of their buttons)
LOGIN_BG = "#f3f8fc"     # login window below the title picture
MINT = "#35b88a"         # Mavrelo, and the accent of the logo
MINT_DARK = "#23906a"
INK = "#34495e"
GLYPH = "#3f6f99"        # tool button glyphs
POPUP_MATTE = "#c9d6e3"
PAPER = "#fefefe"        # "white" inside pictures: pure white is the see-through key

ST = {
    "online": ("#3cc46f", "#229a50"),
    "vacant": ("#f5b82e", "#c98a0c"),
    "otherbusiness": ("#ec5a52", "#bf3029"),
    "onphone": ("#f58a3a", "#c8601a"),
    "meeting": ("#9a73db", "#6c48b0"),
    "offline": ("#a3adb8", "#7b8794"),
}


def hexrgb(c):
    c = c.lstrip("#")
    return tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))


# ---------------------------------------------------------------- rendering
def svg_doc(w, h, body, vb=None, defs=""):
    vb = vb or "0 0 %g %g" % (w, h)
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%g" height="%g" viewBox="%s">'
            '<defs>%s</defs>%s</svg>' % (w, h, vb, defs, body))


def lin(gid, c1, c2, x2=0, y2=1):
    return ('<linearGradient id="%s" x1="0" y1="0" x2="%g" y2="%g">'
            '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            % (gid, x2, y2, c1, c2))


_count = [0]


def render(svg, w, h, scale=1):
    """Renders an SVG text to a PIL RGBA image of w*scale x h*scale pixels."""
    _count[0] += 1
    src = os.path.join(TMP, "p%d.svg" % _count[0])
    out = os.path.join(TMP, "p%d.png" % _count[0])
    with open(src, "w", encoding="utf-8") as f:
        f.write(svg)
    subprocess.run(["rsvg-convert", "-w", str(int(w * scale)), "-h", str(int(h * scale)),
                    "-o", out, src], check=True)
    return Image.open(out).convert("RGBA")


def at2x(path):
    root, ext = os.path.splitext(path)
    return root + "@2x" + ext


def keyed(img, matte):
    """Shape-widget picture: see-through pixels become pure white, every other pixel is
    blended over the colour the picture sits on and kept off pure white."""
    mr, mg, mb = hexrgb(matte)
    px = img.load()
    out = Image.new("RGBA", img.size)
    po = out.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            r, g, b, a = px[x, y]
            if a < 24:
                po[x, y] = (255, 255, 255, 0)
                continue
            f = a / 255.0
            c = (round(r * f + mr * (1 - f)), round(g * f + mg * (1 - f)), round(b * f + mb * (1 - f)))
            if c == (255, 255, 255):
                c = (254, 254, 254)
            po[x, y] = c + (255,)
    return out


def soft(img):
    """Picture with real alpha: transparent pixels carry white so a white key still works."""
    px = img.load()
    for y in range(img.size[1]):
        for x in range(img.size[0]):
            r, g, b, a = px[x, y]
            if a == 0:
                px[x, y] = (255, 255, 255, 0)
            elif (r, g, b) == (255, 255, 255):
                px[x, y] = (254, 254, 254, a)
    return img


def write_bmp(img, path):
    """32-bit BMP with alpha (version 4 header); see-through pixels carry white."""
    tmp = os.path.join(TMP, "b.png")
    img.save(tmp)
    subprocess.run([CONVERT, tmp, "-define", "bmp:format=bmp4", "BMP:" + path], check=True)


def write_bmp8(img, path):
    """8-bit run-length BMP.  Pixels with alpha 0 get palette entry 255, pure white, and no
    other entry is pure white, so the white see-through key of the shaped widgets stays exact."""
    rgba = img.convert("RGBA")
    alpha = rgba.getchannel("A")
    key = alpha.point(lambda a: 255 if a == 0 else 0)
    rgb = rgba.convert("RGB")
    if key.getbbox():
        # quantize the visible pixels only: the key pixels borrow a visible neighbour colour
        visible = [c for n, c in sorted(rgb.getcolors(1 << 24), reverse=True) if c != (255, 255, 255)]
        filler = Image.new("RGB", rgb.size, visible[0] if visible else (254, 254, 254))
        rgb = Image.composite(filler, rgb, key)
    q = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.FLOYDSTEINBERG)
    pal = q.getpalette()[:255 * 3]
    pal += [0] * (255 * 3 - len(pal))
    for i in range(0, len(pal), 3):
        if pal[i:i + 3] == [255, 255, 255]:
            pal[i:i + 3] = [254, 254, 254]
    q.putpalette(pal + [255, 255, 255])
    if key.getbbox():
        q.paste(255, mask=key)
    tmp = os.path.join(TMP, "b8.png")
    q.save(tmp)
    subprocess.run([CONVERT, tmp, "-compress", "RLE", "BMP3:" + path], check=True)


def write_png(img, path):
    img.save(path, optimize=True)


def picture(name, w, h, body, defs="", kind="png", matte=BRAND_PALE, vb=None, hidpi=True, folder=PICS):
    """Renders one picture at 1x and 2x and writes it under its exact file name.
    kind: png (alpha); shape (8-bit bmp, see-through parts pure white, edges blended over
    matte, no other pixel pure white); soft (32-bit bmp with alpha); opaque (8-bit bmp that
    covers its whole area, kept off pure white as well)."""
    svg = svg_doc(w, h, body, vb=vb, defs=defs)
    path = os.path.join(folder, name)
    for scale in ((1, 2) if hidpi else (1,)):
        img = render(svg, w, h, scale)
        p = path if scale == 1 else at2x(path)
        if kind == "png":
            write_png(img, p)
        elif kind == "shape":
            write_bmp8(keyed(img, matte), p)
        elif kind == "soft":
            write_bmp(soft(img), p)
        elif kind == "opaque":
            write_bmp8(keyed(img, matte), p)
    MADE.append((name, w, h, folder))


MADE = []


def text(x, y, s, size, fill="#ffffff", anchor="middle", weight="bold", extra=""):
    return ('<text x="%g" y="%g" font-family="%s" font-weight="%s" font-size="%g" fill="%s" '
            'text-anchor="%s" %s>%s</text>' % (x, y, FONT, weight, size, fill, anchor, extra, escape(s)))


# ---------------------------------------------------------------- status glyphs (16 unit box)
def status_body(kind, cut=False, pre="s"):
    light, dark = ST[kind]
    defs = lin(pre + "g", light, dark)
    if kind == "offline":
        b = ('<circle cx="8" cy="8" r="5.4" fill="none" stroke="%s" stroke-width="2.2"/>'
             '<circle cx="8" cy="8" r="6.6" fill="none" stroke="#ffffff" stroke-opacity=".35" stroke-width=".6"/>'
             % dark)
    else:
        b = ('<circle cx="8" cy="8" r="6.5" fill="url(#%sg)" stroke="%s" stroke-width="1"/>' % (pre, dark))
        w = 'stroke="#ffffff" stroke-linecap="round" stroke-linejoin="round" fill="none"'
        if kind == "online":
            b += '<ellipse cx="6.4" cy="5.6" rx="2.6" ry="1.7" fill="#ffffff" fill-opacity=".55"/>'
        elif kind == "vacant":
            b += '<path d="M8 4.3V8.2H10.9" %s stroke-width="1.7"/>' % w
        elif kind == "otherbusiness":
            b += '<rect x="4" y="6.9" width="8" height="2.2" rx="1.1" fill="#ffffff"/>'
        elif kind == "onphone":
            b += ('<path d="M5.1 4.6l1.5-.5.9 2-.9.8c.4 1 1.1 1.8 2.1 2.3l.8-.9 2 .9-.5 1.5'
                  'c-.2.5-.7.8-1.2.7C7.3 11 5 8.7 4.4 5.8c-.1-.5.2-1 .7-1.2z" fill="#ffffff"/>')
        elif kind == "meeting":
            # two people, the one in front overlapping the one behind
            b += ('<circle cx="10.1" cy="5.6" r="1.6" fill="#ffffff" fill-opacity=".8"/>'
                  '<path d="M7.4 11.6c0-2.3 1.2-3.7 2.7-3.7s2.7 1.4 2.7 3.7z" fill="#ffffff" fill-opacity=".8"/>'
                  '<circle cx="6.4" cy="6.4" r="1.9" fill="#ffffff" stroke="%s" stroke-width=".6"/>'
                  '<path d="M3.2 12.6c0-2.7 1.4-4.2 3.2-4.2s3.2 1.5 3.2 4.2z" fill="#ffffff" stroke="%s" stroke-width=".6"/>'
                  % (dark, dark))
    if cut:
        b += ('<path d="M3.2 12.8L12.8 3.2" stroke="#ffffff" stroke-width="3.6" stroke-linecap="round"/>'
              '<path d="M3.2 12.8L12.8 3.2" stroke="#d62f2f" stroke-width="1.9" stroke-linecap="round"/>')
    return defs, b


# ---------------------------------------------------------------- logo
def logo_body(pre="l", dot=True, grey=False):
    """The Zemvik mark: a blue speech bubble with a white Z and a mint dot, in a 48 box."""
    top, bottom = ("#c3cbd3", "#8e99a5") if grey else ("#5fb0ec", "#2373b8")
    defs = lin(pre + "b", top, bottom) + lin(pre + "m", "#5fd6a6", MINT_DARK)
    b = ('<path d="M12 5h24a9 9 0 0 1 9 9v13a9 9 0 0 1-9 9H20l-8.5 7.5c-.8.7-2 .1-1.8-1l1-6.6'
         'A9 9 0 0 1 3 27V14a9 9 0 0 1 9-9z" fill="url(#%sb)" stroke="%s" stroke-width="1.2"/>'
         % (pre, "#7b8794" if grey else "#1d5f96"))
    b += '<path d="M7 13a7 6 0 0 1 7-5h18" stroke="#ffffff" stroke-opacity=".45" stroke-width="2" fill="none" stroke-linecap="round"/>'
    b += ('<path d="M16 13.5h15.5L17 28h15" stroke="#ffffff" stroke-width="4.4" fill="none" '
          'stroke-linecap="round" stroke-linejoin="round"/>')
    if dot:
        b += ('<circle cx="38" cy="37" r="8" fill="url(#%sm)" stroke="#ffffff" stroke-width="2.4"/>' % pre)
    return defs, b


def logo_small_body(pre="ls"):
    """The mark simplified for 16 pixels (16 box)."""
    defs = lin(pre + "b", "#5fb0ec", "#2373b8") + lin(pre + "m", "#5fd6a6", MINT_DARK)
    b = ('<path d="M4 1.5h8a3 3 0 0 1 3 3v4.5a3 3 0 0 1-3 3H7l-3 2.6v-2.7A3 3 0 0 1 1 9V4.5a3 3 0 0 1 3-3z" '
         'fill="url(#%sb)" stroke="#1d5f96" stroke-width=".8"/>' % pre)
    b += '<path d="M5.2 4.4h5.3L5.4 9h5.3" stroke="#ffffff" stroke-width="1.5" fill="none" stroke-linecap="round" stroke-linejoin="round"/>'
    b += '<circle cx="12.8" cy="12.6" r="2.7" fill="url(#%sm)" stroke="#ffffff" stroke-width=".9"/>' % pre
    return defs, b


# ---------------------------------------------------------------- small glyphs for buttons (20 unit box)
def glyph(name, c=GLYPH):
    s = 'stroke="%s" stroke-width="1.6" stroke-linecap="round" stroke-linejoin="round"' % c
    f = 'fill="%s"' % c
    if name == "memo":  # envelope
        return ('<rect x="2.5" y="5" width="15" height="10.5" rx="2" fill="%s" %s/>'
                '<path d="M3.2 6l6.8 5 6.8-5" fill="none" %s/>' % (PAPER, s, s))
    if name == "mavrelo":
        return ('<rect x="2.5" y="2.5" width="15" height="15" rx="4.5" fill="%s"/>' % MINT +
                '<path d="M5.6 13.6V7.2l4.4 4 4.4-4v6.4" fill="none" stroke="#ffffff" stroke-width="1.9" '
                'stroke-linecap="round" stroke-linejoin="round"/>')
    if name == "kivra":  # a little house: the personal page
        return ('<path d="M4.5 9.3V16h11V9.3" fill="#fff4e6" %s/>' % s +
                '<path d="M2.6 10.2L10 3.6l7.4 6.6" fill="none" stroke="#f08a3c" stroke-width="2" '
                'stroke-linecap="round" stroke-linejoin="round"/>'
                '<rect x="8.5" y="11.6" width="3" height="4.4" rx=".8" fill="#f08a3c"/>')
    if name == "search":
        return ('<circle cx="8.6" cy="8.6" r="4.6" fill="none" %s/>' % s +
                '<path d="M12 12l4 4" stroke="%s" stroke-width="2.2" stroke-linecap="round"/>' % c)
    if name == "menu":
        return ('<path d="M4 5.5h12M4 10h12M4 14.5h12" %s/>' % s +
                '<circle cx="4" cy="5.5" r=".3" %s/>' % f)
    if name == "person":
        return ('<circle cx="8.5" cy="6.8" r="3.2" fill="none" %s/>'
                '<path d="M2.8 16.5c.6-3.2 2.9-5 5.7-5s5.1 1.8 5.7 5" fill="none" %s/>' % (s, s))
    if name == "addbuddy":
        return glyph("person", c) + '<path d="M15.5 4.5v5M13 7h5" stroke="%s" stroke-width="1.8" stroke-linecap="round"/>' % MINT_DARK
    if name == "addgroup":
        return ('<path d="M2.5 6.5V15a1.5 1.5 0 0 0 1.5 1.5h10A1.5 1.5 0 0 0 15.5 15V8.5A1.5 1.5 0 0 0 14 7H9L7.5 5h-3.5'
                'A1.5 1.5 0 0 0 2.5 6.5z" fill="#d7eaf8" %s/>' % s +
                '<path d="M15.5 2.5v5M13 5h5" stroke="%s" stroke-width="1.8" stroke-linecap="round"/>' % MINT_DARK)
    if name == "sms":
        return ('<rect x="4.5" y="2.5" width="8" height="15" rx="1.8" fill="%s" %s/>' % (PAPER, s) +
                '<path d="M7.2 15h2.6" %s/>' % s +
                '<path d="M10.5 4.5h6a1.2 1.2 0 0 1 1.2 1.2v3.6a1.2 1.2 0 0 1-1.2 1.2h-3.4l-2 1.6z" fill="%s"/>' % MINT +
                '<path d="M12.4 7.5h3.6" stroke="#ffffff" stroke-width="1.1" stroke-linecap="round"/>')
    if name == "invite":
        return glyph("addbuddy", c)
    if name == "sendfile":
        return ('<path d="M5 2.5h6.5l3.5 3.5v11.5H5z" fill="%s" %s/>' % (PAPER, s) +
                '<path d="M11.5 2.5V6H15" fill="none" %s/>' % s +
                '<path d="M10 15V9M7.6 11.3L10 8.8l2.4 2.5" fill="none" stroke="%s" stroke-width="1.7" '
                'stroke-linecap="round" stroke-linejoin="round"/>' % MINT_DARK)
    if name == "emoticon":
        return ('<circle cx="10" cy="10" r="7" fill="#ffd75e" stroke="#c99a16" stroke-width="1.3"/>'
                '<circle cx="7.5" cy="8.3" r="1.1" fill="#5b4300"/><circle cx="12.5" cy="8.3" r="1.1" fill="#5b4300"/>'
                '<path d="M6.6 11.6c1.6 2.4 5.2 2.4 6.8 0" fill="none" stroke="#5b4300" stroke-width="1.3" stroke-linecap="round"/>')
    if name == "font":
        return text(10, 15.2, "가", 13, fill=c)
    if name == "fontcolor":
        return (text(10, 13.2, "A", 12.5, fill=c) +
                '<rect x="3.5" y="15" width="4.4" height="2.6" fill="#ec5a52"/><rect x="7.8" y="15" width="4.4" height="2.6" fill="#3cc46f"/>'
                '<rect x="12.1" y="15" width="4.4" height="2.6" fill="#2f86c8"/>')
    if name == "close":
        return '<path d="M6 6l8 8M14 6l-8 8" stroke="%s" stroke-width="1.9" stroke-linecap="round"/>' % c
    raise KeyError(name)


def badge(cx, cy, r=3.6, label=None):
    b = '<circle cx="%g" cy="%g" r="%g" fill="#ef4b3f" stroke="#ffffff" stroke-width="1.2"/>' % (cx, cy, r)
    if label:
        b += text(cx, cy + r * 0.55, label, r * 1.5)
    return b


def tool_button(name, w, h, gl, matte=BRAND_PALE, extra=""):
    """Three pictures of a tool button: _nor look (or bare name), _ov hover, _down pressed."""
    gx, gy = (w - 20) / 2.0, (h - 20) / 2.0
    looks = {
        "nor": ('<rect x=".5" y=".5" width="%g" height="%g" rx="5" fill="%s"/>' % (w - 1, h - 1, matte), 0),
        "ov": ('<rect x=".5" y=".5" width="%g" height="%g" rx="5" fill="#d6e9f8" stroke="#9cc5e6"/>' % (w - 1, h - 1), 0),
        "down": ('<rect x=".5" y=".5" width="%g" height="%g" rx="5" fill="#bcd7ef" stroke="#7fb0da"/>' % (w - 1, h - 1), 0.8),
    }
    for state, (bg, off) in looks.items():
        body = bg + '<g transform="translate(%g %g)">%s%s</g>' % (gx + off, gy + off, gl, extra)
        picture(name[state], w, h, body, kind="shape", matte=matte)


def names3(base, nor_suffix=""):
    """File names of a button's three looks: base.bmp, base_down.bmp, base_ov.bmp, or with
    base_nor.bmp when the normal picture carries the _nor suffix."""
    return {"nor": base + nor_suffix + ".bmp", "down": base + "_down.bmp", "ov": base + "_ov.bmp"}


# ---------------------------------------------------------------- pictures
def make_status():
    for kind in ST:
        defs, body = status_body(kind)
        picture("main_list_state_%s.png" % kind, 16, 16, body, defs=defs)
    for base, cut in (("online", True), ("offline", True)):
        defs, body = status_body(base, cut=True)
        picture("main_list_state_cut_%s.png" % base, 16, 16, body, defs=defs)
    defs, body = status_body("online")
    picture("main_list_state_online.bmp", 16, 16, body, defs=defs, kind="soft")
    # menu icons of the status actions
    for icon, kind in (("online", "online"), ("away", "vacant"), ("busy", "otherbusiness"),
                       ("phone", "onphone"), ("meeting", "meeting"), ("offline", "offline")):
        defs, body = status_body(kind)
        picture(icon + ".png", 16, 16, body, defs=defs)
    # header status button: 18 px, the 16 glyph with a pixel of air
    for name, kind in (("bi.bmp", "online"), ("bi2.bmp", "otherbusiness"), ("bi3.bmp", "vacant"), ("bi4.bmp", "offline")):
        defs, body = status_body(kind)
        picture(name, 18, 18, '<rect x="-1" y="-1" width="18" height="18" rx="4" fill="%s"/>' % BRAND_PALE + body,
                defs=defs, kind="shape", vb="-1 -1 18 18")


def make_tray():
    os.makedirs(TRAY, exist_ok=True)
    for kind in ST:
        ldefs, lbody = logo_body(dot=False, grey=(kind == "offline"))
        sdefs, sbody = status_body(kind, pre="t")
        body = ('<g transform="scale(.46) translate(-1 -3)">%s</g>' % lbody +
                '<circle cx="16.2" cy="16.2" r="5.6" fill="#ffffff"/>' +
                '<g transform="translate(10.6 10.6) scale(.7)">%s</g>' % sbody)
        picture("main_list_state_%s.png" % kind, 22, 22, body, defs=ldefs + sdefs, folder=TRAY)


def make_app_icons():
    os.makedirs(ICONS, exist_ok=True)
    sdefs, sbody = logo_small_body()
    picture("hi16-app-kzemvik.png", 16, 16, sbody, defs=sdefs)
    defs, body = logo_body()
    svg = svg_doc(48, 48, body, defs=defs)
    with open(os.path.join(ICONS, "sc-apps-kzemvik.svg"), "w", encoding="utf-8") as f:
        f.write(svg + "\n")
    for size in (16, 22, 32, 48, 64, 128, 256):
        if size == 16:
            img = render(svg_doc(16, 16, sbody, defs=sdefs), 16, 16)
        elif size == 22:
            img = render(svg_doc(22, 22, '<g transform="scale(.4583)">%s</g>' % body, defs=defs), 22, 22)
        else:
            img = render(svg, 48, 48, size / 48.0)
        write_png(img, os.path.join(ICONS, "%d-apps-kzemvik.png" % size))
    MADE.append(("icons/<size>-apps-kzemvik.png", 16, 256, ICONS))


def make_login():
    w, h = 350, 190
    ldefs, lbody = logo_body(pre="tl")
    defs = (lin("sky", "#3f97db", "#7cc7e8") + ldefs +
            '<radialGradient id="glow" cx=".5" cy=".4" r=".5"><stop offset="0" stop-color="#ffffff" stop-opacity=".35"/>'
            '<stop offset="1" stop-color="#ffffff" stop-opacity="0"/></radialGradient>')
    body = ('<rect width="%d" height="%d" fill="url(#sky)"/>' % (w, h) +
            '<circle cx="300" cy="30" r="46" fill="#ffffff" fill-opacity=".10"/>'
            '<circle cx="330" cy="95" r="22" fill="#ffffff" fill-opacity=".10"/>'
            '<circle cx="38" cy="120" r="30" fill="#ffffff" fill-opacity=".08"/>'
            '<circle cx="70" cy="26" r="12" fill="#ffffff" fill-opacity=".12"/>'
            '<ellipse cx="175" cy="62" rx="90" ry="60" fill="url(#glow)"/>'
            '<g transform="translate(142 22) scale(1.35)">%s</g>' % lbody +
            text(175, 118, "Zemvik", 30, extra='letter-spacing="1"') +
            text(175, 138, "언제 어디서나 친구와 함께", 12.5, weight="normal", extra='fill-opacity=".95"') +
            '<path d="M0 160C70 146 120 172 190 164S300 146 350 156V190H0z" fill="#ffffff" fill-opacity=".35"/>'
            '<path d="M0 170C80 158 130 182 200 174S300 160 350 168V190H0z" fill="%s"/>' % LOGIN_BG)
    picture("rogin_title_img.bmp", w, h, body, defs=defs, kind="opaque")

    bw, bh = 96, 37
    looks = {
        "rogin_bt_login_nor.bmp": ("#5aa9e6", "#2a7cc0", "#1f6aa8", 0),
        "rogin_bt_login_ov.bmp": ("#8cc7f0", "#5aa5dd", "#4a91c8", 0),
        "rogin_bt_login_down.bmp": ("#2a78ba", "#3e8fd0", "#1a5d94", 1),
    }
    for name, (c1, c2, edge, off) in looks.items():
        defs = lin("lb", c1, c2)
        body = ('<rect x=".75" y=".75" width="%g" height="%g" rx="9" fill="url(#lb)" stroke="%s" stroke-width="1.5"/>'
                % (bw - 1.5, bh - 1.5, edge) +
                '<path d="M8 3.5h80" stroke="#ffffff" stroke-opacity=".35" stroke-width="1.2" stroke-linecap="round"/>' +
                text(bw / 2 + off, 24 + off, "로그인", 15.5))
        picture(name, bw, bh, body, defs=defs, kind="shape", matte=LOGIN_BG)


def make_header():
    tool_button(names3("main_memo_count_btn"), 26, 24, glyph("memo"))
    tool_button(names3("main_memo_count_new_btn"), 26, 24, glyph("memo"), extra=badge(16.2, 5.2))
    tool_button(names3("main_mymavrelo_btn"), 26, 24, glyph("mavrelo"))
    tool_button(names3("main_kivra_btn"), 26, 24, glyph("kivra"))
    tool_button(names3("main_kivra_new_btn"), 26, 24, glyph("kivra"), extra=badge(16.4, 4.6, 4.2, "N"))
    tool_button(names3("bd_menu_btn"), 26, 24, glyph("menu"))
    tool_button(names3("bd_buddy_add_btn"), 26, 24, glyph("addbuddy"))
    tool_button(names3("bd_group_add_btn"), 26, 24, glyph("addgroup"))
    tool_button(names3("hotkey_sms", "_nor"), 26, 24, glyph("sms"))
    # the two ends of the search box (its middle is a frameless line edit on white)
    edge = "#9cc5e6"
    picture("bd_search_left_bg.bmp", 24, 22,
            '<path d="M23.9 .5H8.5a8 8 0 0 0-8 8v5a8 8 0 0 0 8 8h15.4z" fill="%s" stroke="%s"/>' % (PAPER, edge) +
            '<g transform="translate(5 3.4) scale(.78)">%s</g>' % glyph("search"),
            kind="shape")
    picture("search_reset_btn.bmp", 22, 22,
            '<path d="M0 .5h13.5a8 8 0 0 1 8 8v5a8 8 0 0 1-8 8H0z" fill="%s" stroke="%s"/>' % (PAPER, edge) +
            '<circle cx="10" cy="11" r="5.6" fill="#c3d3e0"/>'
            '<path d="M7.9 8.9l4.2 4.2M12.1 8.9l-4.2 4.2" stroke="#ffffff" stroke-width="1.5" stroke-linecap="round"/>',
            kind="shape")
    # title strip above the list and the list's background
    picture("list_title_bluebg.bmp", 350, 24,
            '<rect width="350" height="24" fill="url(#tb)"/><rect width="350" height="1" fill="#ffffff" fill-opacity=".45"/>'
            '<rect y="23" width="350" height="1" fill="%s"/>' % BRAND_DARK,
            defs=lin("tb", "#72b8ea", "#3b8fd2"), kind="opaque")
    ldefs, lbody = logo_body(pre="wm", dot=False)
    picture("buddylist_bg.bmp", 350, 600,
            '<rect width="350" height="600" fill="url(#bg)"/>'
            '<path d="M0 520C80 500 150 540 230 528S330 505 350 510V600H0z" fill="#dcebf8" fill-opacity=".7"/>'
            '<path d="M0 548C90 530 160 566 240 556S330 536 350 540V600H0z" fill="#cfe4f5" fill-opacity=".7"/>'
            '<g transform="translate(236 412) scale(2.2)" opacity=".07">%s</g>' % lbody,
            defs=lin("bg", "#fdfeff", "#eef6fc") + ldefs, kind="opaque")


def make_popups():
    w, h = 170, 106
    band = lin("band", "#5aa9e6", "#2a7cc0")
    body_fill = lin("pb", "#fdfeff", "#eaf4fc")
    picture("popup_notice_bg.bmp", w, h,
            '<rect x=".5" y=".5" width="%g" height="%g" rx="8" fill="url(#pb)" stroke="#5b9fd3"/>' % (w - 1, h - 1) +
            '<path d="M.5 24V8.5a8 8 0 0 1 8-8h153a8 8 0 0 1 8 8V24z" fill="url(#band)"/>',
            defs=band + body_fill, kind="shape", matte=POPUP_MATTE)
    sdefs, sbody = logo_small_body(pre="pt")
    picture("popup_notice_title.bmp", 140, 24,
            '<path d="M.5 24V8.5a8 8 0 0 1 8-8H140V24z" fill="url(#band)"/>'
            '<g transform="translate(7 4)">%s</g>' % sbody + text(28, 16.5, "Zemvik 알림", 12, anchor="start"),
            defs=band + sdefs, kind="shape", matte=POPUP_MATTE)
    picture("popup_notice_close.bmp", 30, 24,
            '<path d="M0 .5h21a8 8 0 0 1 8 8V24H0z" fill="url(#band)"/>'
            '<g transform="translate(5 2)">%s</g>' % glyph("close", "#ffffff"),
            defs=band, kind="shape", matte=POPUP_MATTE)
    on = "#f2f8fd"
    # 44 px icons beside the popup text
    picture("slidewnd_login.bmp", 44, 44,
            '<circle cx="20" cy="20" r="17" fill="url(#av)" stroke="#2a7cc0" stroke-width="1.2"/>'
            '<circle cx="20" cy="15.5" r="6" fill="#ffffff"/>'
            '<path d="M8.5 31c1.8-5.8 6.4-8.6 11.5-8.6s9.7 2.8 11.5 8.6a17 17 0 0 1-23 0z" fill="#ffffff"/>'
            '<circle cx="33" cy="33" r="7.2" fill="url(#on)" stroke="#ffffff" stroke-width="2.2"/>',
            defs=lin("av", "#8cc7f0", "#3f8fd2") + lin("on", ST["online"][0], ST["online"][1]),
            kind="shape", matte=on)
    picture("popup_notice_chat.bmp", 44, 44,
            '<path d="M10 6h24a7 7 0 0 1 7 7v12a7 7 0 0 1-7 7H19l-8 7v-7.3A7 7 0 0 1 3 25V13a7 7 0 0 1 7-7z" '
            'fill="url(#cb)" stroke="#2a7cc0" stroke-width="1.2"/>'
            '<circle cx="13.5" cy="19" r="2.4" fill="#ffffff"/><circle cx="22" cy="19" r="2.4" fill="#ffffff"/>'
            '<circle cx="30.5" cy="19" r="2.4" fill="#ffffff"/>',
            defs=lin("cb", "#7cc0ee", "#2f86c8"), kind="shape", matte=on)
    picture("popup_notice_memo.bmp", 44, 44,
            '<rect x="4" y="10" width="36" height="25" rx="4" fill="url(#eb)" stroke="#23906a" stroke-width="1.2"/>'
            '<path d="M5.5 12l16.5 12 16.5-12" fill="none" stroke="#ffffff" stroke-width="2.2" stroke-linejoin="round"/>'
            '<circle cx="36" cy="11" r="6" fill="#ef4b3f" stroke="#ffffff" stroke-width="1.8"/>',
            defs=lin("eb", "#6fdcb2", MINT), kind="shape", matte=on)
    # the Mavrelo notice (toast): same frame, the sister service's mint band
    tw = 175
    mband = lin("mband", "#5fd3a3", MINT_DARK)
    picture("popup_notice_mv_bg.bmp", tw, h,
            '<rect x=".5" y=".5" width="%g" height="%g" rx="8" fill="url(#pb)" stroke="#3fae83"/>' % (tw - 1, h - 1) +
            '<path d="M.5 24V8.5a8 8 0 0 1 8-8h158a8 8 0 0 1 8 8V24z" fill="url(#mband)"/>',
            defs=mband + lin("pb", "#fdfffe", "#e8f7f0"), kind="shape", matte=POPUP_MATTE)
    picture("popup_notice_mv_tirnlogo.bmp", 136, 24,
            '<clipPath id="corner"><rect x="-3.5" y=".5" width="200" height="60" rx="8"/></clipPath>'
            '<rect width="136" height="24" fill="url(#mband)" clip-path="url(#corner)"/>'
            '<rect x="2" y="4" width="16" height="16" rx="4.5" fill="#ffffff"/>' +
            text(10, 16.8, "T", 12.5, fill=MINT_DARK) + text(23, 17, "Tirn", 13.5, anchor="start") +
            text(56, 16.5, "Mavrelo 소식", 11, anchor="start", weight="normal"),
            defs=mband, kind="shape", matte=POPUP_MATTE)
    picture("popup_notice_mv_close.bmp", 30, 24,
            '<path d="M0 .5h21a8 8 0 0 1 8 8V24H0z" fill="url(#mband)"/>'
            '<g transform="translate(5 2)">%s</g>' % glyph("close", "#ffffff"),
            defs=mband, kind="shape", matte=POPUP_MATTE)
    picture("popup_notice_mv_mvlogo.bmp", 44, 44,
            '<rect x="3" y="3" width="38" height="38" rx="11" fill="url(#mv)" stroke="%s" stroke-width="1.2"/>' % MINT_DARK +
            '<path d="M12 30V15.5l10 9 10-9V30" fill="none" stroke="#ffffff" stroke-width="4" '
            'stroke-linecap="round" stroke-linejoin="round"/>'
            '<path d="M9 10a8 7 0 0 1 7-4h12" stroke="#ffffff" stroke-opacity=".45" stroke-width="2" fill="none" stroke-linecap="round"/>',
            defs=lin("mv", "#6fdcb2", MINT_DARK), kind="shape", matte="#eef9f4")


def make_chat_and_memo():
    for base, g in (("chw_ico_invite", "invite"), ("chw_ico_sendfile", "sendfile"),
                    ("chw_emoticon", "emoticon"), ("chw_font", "font"), ("chw_fontcolor", "fontcolor")):
        tool_button(names3(base), 28, 26, glyph(g))
    # the send button of the chat window
    w, h = 64, 46
    looks = {"nor": ("#5aa9e6", "#2a7cc0", "#1f6aa8", 0), "ov": ("#7fbff0", "#3f93d6", "#2f7cbc", 0),
             "down": ("#2a78ba", "#3e8fd0", "#1a5d94", 1)}
    plane = ('<path d="M24.5 8.5l15-5.5-5.5 15-3-6z" fill="#ffffff"/>'
             '<path d="M31 12l3-3" stroke="#2a7cc0" stroke-width="1" stroke-linecap="round"/>')
    for state, (c1, c2, edge, off) in looks.items():
        body = ('<rect x=".75" y=".75" width="%g" height="%g" rx="9" fill="url(#sb)" stroke="%s" stroke-width="1.5"/>'
                % (w - 1.5, h - 1.5, edge) +
                '<g transform="translate(%g %g)">%s</g>' % (off, off + 3, plane) +
                text(w / 2 + off, 36 + off, "보내기", 12.5))
        name = {"nor": "chw_bt_send_nor.bmp", "ov": "chw_bt_send_ov.bmp", "down": "chw_bt_send_down.bmp"}[state]
        picture(name, w, h, body, defs=lin("sb", c1, c2), kind="shape")
    # text buttons of the memo windows
    icons = {
        "send": '<path d="M2 7.5l11-4.5-4.5 11-2-4.5z" fill="currentColor"/>',
        "rewri": '<path d="M3 12.5l.6-2.6 7-7 2 2-7 7zM9.6 3.9l2 2" fill="none" stroke="currentColor" stroke-width="1.4" stroke-linejoin="round"/>',
        "receiver": ('<circle cx="6.5" cy="5" r="2.6" fill="none" stroke="currentColor" stroke-width="1.4"/>'
                     '<path d="M2 13c.5-2.6 2.3-4 4.5-4s4 1.4 4.5 4" fill="none" stroke="currentColor" stroke-width="1.4" stroke-linecap="round"/>'
                     '<path d="M12.5 3.5v4M10.5 5.5h4" stroke="currentColor" stroke-width="1.4" stroke-linecap="round"/>'),
        "repl": '<path d="M6 3L2.5 6.5 6 10M2.8 6.5H9a4 4 0 0 1 4 4v1" fill="none" stroke="currentColor" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>',
        "allrepl": ('<path d="M7.5 3L4 6.5 7.5 10M4.3 6.5H10a3.5 3.5 0 0 1 3.5 3.5v1.5" fill="none" stroke="currentColor" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>'
                    '<path d="M4.5 3L1 6.5 4.5 10" fill="none" stroke="currentColor" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>'),
        "forw": '<path d="M9 3l3.5 3.5L9 10M12.2 6.5H6a4 4 0 0 0-4 4v1" fill="none" stroke="currentColor" stroke-width="1.5" stroke-linecap="round" stroke-linejoin="round"/>',
        "del": ('<path d="M2.5 4.5h10M6 4.5V3h3v1.5M4 4.5l.7 8.5h5.6l.7-8.5" fill="none" stroke="currentColor" stroke-width="1.4" stroke-linecap="round" stroke-linejoin="round"/>'),
    }
    labels = {"send": "보내기", "rewri": "다시쓰기", "receiver": "받는사람", "repl": "답장",
              "allrepl": "전체답장", "forw": "전달", "del": "삭제"}
    w, h = 84, 26
    for key, label in labels.items():
        primary = key == "send"
        for state in ("nor", "ov", "down"):
            off = 0.8 if state == "down" else 0
            if primary:
                fill = {"nor": "url(#mp)", "ov": "url(#mpo)", "down": "url(#mpd)"}[state]
                edge, ink = "#1f6aa8", "#ffffff"
            else:
                fill = {"nor": PAPER, "ov": "#e1effa", "down": "#c9e0f3"}[state]
                edge, ink = {"nor": "#9cc5e6", "ov": "#6fa9d8", "down": "#5b97c8"}[state], BRAND_DARK
            body = ('<rect x=".5" y=".5" width="%g" height="%g" rx="7" fill="%s" stroke="%s"/>' % (w - 1, h - 1, fill, edge) +
                    '<g transform="translate(%g %g)" color="%s">%s</g>' % (9 + off, 5.5 + off, ink, icons[key]) +
                    text(50 + off, 17.5 + off, label, 12, fill=ink))
            name = "bt_img_%s_%s.bmp" % (key, state)
            picture(name, w, h, body, kind="shape",
                    defs=lin("mp", "#5aa9e6", "#2a7cc0") + lin("mpo", "#7fbff0", "#3f93d6") + lin("mpd", "#2a78ba", "#3e8fd0"))


def gear_path(cx, cy, r_out, r_in, teeth):
    pts = []
    for i in range(teeth * 4):
        a = 2 * math.pi * i / (teeth * 4) - math.pi / 2
        r = r_out if (i % 4) in (1, 2) else r_in
        pts.append("%.2f %.2f" % (cx + r * math.cos(a), cy + r * math.sin(a)))
    return "M" + "L".join(pts) + "z"


def make_settings():
    W = 'fill="#ffffff"'
    S = 'stroke="#ffffff" stroke-linecap="round" stroke-linejoin="round" fill="none"'
    pages = [
        ("01", "기본 설정", ("#6fb3e6", "#2a7cc0"),
         '<path d="%s" %s/><circle cx="16" cy="16" r="3.6" fill="#2f86c8"/>' % (gear_path(16, 16, 10, 7.6, 8), W)),
        ("02", "개인 설정", ("#5fd3a3", MINT_DARK),
         '<circle cx="16" cy="12" r="5" %s/><path d="M6.5 25.5c1-5 4.6-7.8 9.5-7.8s8.5 2.8 9.5 7.8z" %s/>' % (W, W)),
        ("03", "알림/소리", ("#ffc94d", "#de9410"),
         '<path d="M16 6.5c-4.2 0-6.6 3.1-6.6 7v4.4L7.2 21.5h17.6l-2.2-3.6v-4.4c0-3.9-2.4-7-6.6-7z" %s/>'
         '<path d="M13.3 23.5a2.8 2.8 0 0 0 5.4 0z" %s/>' % (W, W)),
        ("04", "메시지", ("#7cc7f0", "#3590d2"),
         '<path d="M9 7.5h14a3.5 3.5 0 0 1 3.5 3.5v7.5a3.5 3.5 0 0 1-3.5 3.5h-8l-5 4.5v-4.5H9'
         'a3.5 3.5 0 0 1-3.5-3.5V11A3.5 3.5 0 0 1 9 7.5z" %s/>' % W +
         '<path d="M10.5 12.5h11M10.5 16.8h7" stroke="#3590d2" stroke-width="1.8" stroke-linecap="round"/>'),
        ("05", "프라이버시", ("#b493ea", "#7a55c2"),
         '<path d="M16 5.5l9 3.3v6.4c0 5.6-3.8 9.6-9 11.3-5.2-1.7-9-5.7-9-11.3V8.8z" %s/>' % W +
         '<path d="M12 15.8l3 3 5.4-5.6" stroke="#7a55c2" stroke-width="2.2" stroke-linecap="round" stroke-linejoin="round" fill="none"/>'),
        ("06", "메신저 보안", ("#f27b72", "#c9403a"),
         '<rect x="8.5" y="14" width="15" height="11.5" rx="2.5" %s/><path d="M11.5 14v-3a4.5 4.5 0 0 1 9 0v3" %s stroke-width="2.4"/>'
         '<circle cx="16" cy="19.3" r="1.8" fill="#c9403a"/>' % (W, S)),
        ("07", "연결(방화벽)", ("#5cc9d0", "#1f8f99"),
         '<circle cx="16" cy="16" r="9" %s stroke-width="2"/><ellipse cx="16" cy="16" rx="3.8" ry="9" %s stroke-width="1.8"/>'
         '<path d="M7.5 13h17M7.5 19h17" %s stroke-width="1.8"/>' % (S, S, S)),
        ("08", "플러그인", ("#ffa95e", "#e0702a"),
         '<path d="M8 11h4.3a2.7 2.7 0 1 1 5.4 0H22v4.3a2.7 2.7 0 1 1 0 5.4V25H8z" %s/>' % W),
        ("09", "Mavrelo 연동", ("#5fd3a3", MINT_DARK),
         '<path d="M9.5 22V10.5l6.5 6 6.5-6V22" %s stroke-width="3"/>' % S),
        ("10", "Tirn닷컴 연동", ("#5b8fd6", "#2b5ea8"),
         '<path d="M9.5 10h13M16 10v13" %s stroke-width="3.2"/>' % S),
    ]
    for num, title, (c1, c2), gl in pages:
        tile = ('<rect x="1" y="1" width="30" height="30" rx="8" fill="url(#t%s)"/>' % num +
                '<path d="M6 5.5h20" stroke="#ffffff" stroke-opacity=".35" stroke-width="1.5" stroke-linecap="round"/>' + gl)
        defs = lin("t" + num, c1, c2)
        picture("sett_icon_%s.bmp" % num, 32, 32, tile, defs=defs, kind="soft")
        body = ('<rect width="380" height="36" fill="url(#tt)"/>'
                '<rect y="34" width="380" height="2" fill="url(#tl)"/>'
                '<g transform="translate(6 5) scale(.8125)">%s</g>' % tile +
                text(40, 24, title, 15, fill=BRAND_DARK, anchor="start"))
        picture("sett_titl_%s.bmp" % num, 380, 36, body, kind="opaque",
                defs=defs + lin("tt", "#f7fbfe", BRAND_PALE) + lin("tl", c2, "#eaf3fb", 1, 0))


def make_list_pictures():
    folder_closed = ('<path d="M1.5 4V12.5a1 1 0 0 0 1 1h11a1 1 0 0 0 1-1V5.5a1 1 0 0 0-1-1H7.5L6 3H2.5a1 1 0 0 0-1 1z" '
                     'fill="url(#fc)" stroke="#2d78b6" stroke-width="1"/>'
                     '<path d="M2.5 6.5h11" stroke="#ffffff" stroke-opacity=".6" stroke-width="1"/>')
    folder_open = ('<path d="M1.5 4V12.5a1 1 0 0 0 1 1h9.5V5.5a1 1 0 0 0-1-1H7.5L6 3H2.5a1 1 0 0 0-1 1z" '
                   'fill="#8cc4ec" stroke="#2d78b6" stroke-width="1"/>'
                   '<path d="M4.2 7h10.6a.7.7 0 0 1 .66.92L13.5 13.5H2.5l1.1-5.9A.7.7 0 0 1 4.2 7z" '
                   'fill="url(#fo)" stroke="#2d78b6" stroke-width="1" stroke-linejoin="round"/>')
    fdefs = lin("fc", "#9fd0f3", "#5aa6e0") + lin("fo", "#c6e4fa", "#7ab9e8")
    picture("main_list_folder_close.png", 16, 16, folder_closed, defs=fdefs)
    picture("main_list_folder_open.png", 16, 16, folder_open, defs=fdefs)
    picture("close.png", 16, 16, folder_closed, defs=fdefs)
    picture("open.png", 16, 16, folder_open, defs=fdefs)
    house = ('<g transform="scale(.9)">%s</g>' % glyph("kivra", "#c8601a"))
    picture("main_list_kivra.png", 18, 18, house)
    picture("main_list_kivra_new.png", 18, 18, house + badge(13.6, 4.4, 4.2, "N"))
    picture("chat_fileroom_private_btn.png", 16, 16,
            '<path d="M3 1.5h6l3.5 3.5v9.5H3z" fill="#fdfeff" stroke="%s" stroke-width="1.1" stroke-linejoin="round"/>' % BRAND +
            '<path d="M9 1.5V5h3.5" fill="none" stroke="%s" stroke-width="1.1" stroke-linejoin="round"/>' % BRAND +
            '<path d="M7.7 7v5M5.6 10l2.1 2.2 2.1-2.2" fill="none" stroke="%s" stroke-width="1.5" '
            'stroke-linecap="round" stroke-linejoin="round"/>' % MINT_DARK)


# ---------------------------------------------------------------- emoticons
# (code name, file base, emoji sequence or a drawing recipe), page by page in picker order
PAGES = [
    ("감정", [
        ("윙크", "wink", "😉"), ("취함", "drunk", "🥴"), ("안녕", "hello", "👋"), ("으으", "ugh", "😖"),
        ("허걱", "gasp", "😱"), ("기도", "pray", "🙏"), ("에헴", "ahem", "🧐"), ("만족", "content", "😌"),
        ("잠", "sleep", "😴"), ("슬픔", "sad", "😢"), ("한숨", "sigh", "😮\u200d💨"), ("쉿", "shush", "🤫"),
        ("똥침", "poke", "👉"), ("추워", "cold", "🥶"), ("냉랭", "frosty", "😒"), ("우우", "whine", "😩"),
        ("짱", "best", "👍"), ("버럭", "rage", "😡"), ("우씨", "grumble", "😠"), ("땀찍", "sweat", "😅"),
        ("똘똘", "clever", "🤓"), ("웩", "yuck", "🤮"), ("파안", "grin", "😁"), ("열", "fever", "🤒"),
        ("폐인", "wrecked", "😵"), ("박수", "clap", "👏"), ("메롱", "tongue", "😜"), ("딴청", "eyeroll", "🙄"),
        ("험악", "fierce", "😤"), ("통곡", "wail", "😭"), ("흐흐", "giggle", "😆"), ("부끄", "shy", "😊"),
        ("쳇", "tsk", "😑"), ("방긋", "smile", "😀"), ("당황", "flustered", "😳"), ("실망", "letdown", "😞"),
        ("음흉", "sly", "😏"), ("놀람", "surprised", "😮"), ("찌릿", "glare", "🤨"), ("퉤", "spit", "😝"),
        ("더워", "hot", "🥵"), ("거부", "refuse", "🙅"),
    ]),
    ("음식", [
        ("김밥", "gimbap", "🍙"), ("버거", "burger", "🍔"), ("밥", "rice", "🍚"), ("소주", "soju", "🍶"),
        ("케익", "cake", "🎂"), ("당근", "carrot", "🥕"), ("식빵", "bread", "🍞"), ("커피", "coffee", "☕"),
        ("라면", "ramen", "🍜"), ("도넛", "donut", "🍩"), ("빵", "croissant", "🥐"), ("크림", "icecream", "🍦"),
        ("피자", "pizza", "🍕"), ("사과", "apple", "🍎"), ("사탕", "candy", "🍭"), ("맥주", "beer", "🍺"),
    ]),
    ("사물", [
        ("폭탄", "bomb", "💣"), ("티비", "tv", "📺"), ("사진", "camera", "📷"), ("차", "car", "🚗"),
        ("촛불", "candle", "🕯\ufe0f"), ("담배", "cigarette", "🚬"), ("편지", "letter", "✉\ufe0f"), ("약", "pill", "💊"),
        ("선물", "gift", "🎁"), ("폰", "mobile", "📱"), ("총", "pistol", "🔫"), ("레카", "towtruck", "🛻"),
        ("태극", "taegeuk", "🇰🇷"), ("전철", "subway", "🚇"), ("컴", "computer", "💻"), ("버스", "bus", "🚌"),
        ("택시", "taxi", "🚕"), ("돌", "rock", "🪨"), ("옐카", "yellowcard", "draw:yellowcard"), ("벽돌", "brick", "🧱"),
        ("반지", "ring", "💍"), ("꽃", "flower", "🌼"), ("전화", "telephone", "☎\ufe0f"), ("시계", "clock", "⏰"),
        ("오락", "game", "🎮"),
    ]),
    ("기타", [
        ("농구", "basketball", "🏀"), ("축구", "soccer", "⚽"), ("번개", "lightning", "⚡"), ("카네이션", "carnation", "🌺"),
        ("시들", "wilted", "🥀"), ("야구", "baseball", "⚾"), ("붉은티", "redshirt", "red:👕"), ("새", "bird", "🐦"),
        ("독도", "dokdo", "🏝\ufe0f"), ("무지개", "rainbow", "🌈"), ("장미", "rose", "🌹"), ("바퀴", "roach", "🪳"),
        ("노래", "sing", "🎤"), ("우산", "umbrella", "☂\ufe0f"), ("사랑", "love", "❤\ufe0f"), ("야옹", "meow", "🐱"),
        ("나비", "butterfly", "🦋"), ("휴지", "tissue", "🧻"), ("눈", "snow", "❄\ufe0f"), ("영화", "movie", "🎬"),
        ("태극이웃", "taegeukfriend", "pair:😊:🇰🇷"), ("돈", "money", "💰"), ("별", "star", "⭐"), ("여포", "warrior", "⚔\ufe0f"),
        ("아령", "dumbbell", "💪"), ("온", "on", "🔛"), ("여", "female", "👩"), ("버그", "bug", "🐛"),
        ("19", "adults", "🔞"), ("뽀", "kiss", "😘"), ("돼지", "pig", "🐷"), ("응가", "poop", "💩"),
        ("원숭", "monkey", "🐵"), ("스키", "ski", "⛷\ufe0f"), ("붕어", "fish", "🐟"), ("달", "moon", "🌙"),
        ("반짝", "sparkle", "✨"), ("거북", "turtle", "🐢"), ("남포", "dynamite", "🧨"), ("폭죽", "fireworks", "🎆"),
        ("천사", "angel", "😇"), ("해", "sun", "☀\ufe0f"), ("남", "male", "👨"), ("실연", "heartbreak", "💔"),
        ("개", "dog", "🐶"), ("악마", "devil", "😈"), ("테디", "teddy", "🧸"), ("변기", "toilet", "🚽"),
    ]),
    ("시즌", [
        ("복주머니", "luckybag", "🧧"), ("까치", "magpie", "🐦\u200d⬛"), ("복", "fortune", "draw:fortune"),
        ("산타", "santa", "🎅"), ("아기돼지", "piglet", "🐖"), ("눈사람", "snowman", "⛄"),
        ("황금돼지", "goldenpig", "gold:🐷"), ("보름달", "fullmoon", "🌕"), ("성탄리스", "wreath", "draw:wreath"),
        ("루돌푸", "rudolph", "🦌"), ("성탄종", "bell", "🔔"), ("트리", "tree", "🎄"), ("빨간양말", "stocking", "🧦"),
    ]),
]

EMO_SIZE = 16  # the chat view draws emoticons at 16 x 16; the @2x file serves HiDPI and the picker


def emoji_image(seq):
    font = ImageFont.truetype(EMOJI_FONT, 109)
    im = Image.new("RGBA", (160, 160), (0, 0, 0, 0))
    ImageDraw.Draw(im).text((8, 8), seq, font=font, embedded_color=True)
    box = im.getbbox()
    if box is None:
        raise SystemExit("emoji not in font: %r" % seq)
    return im.crop(box)


def square(im, side=136):
    """Centres a glyph on a square canvas, scaled to fit with a little air."""
    w, h = im.size
    f = min((side - 8) / float(w), (side - 8) / float(h))
    im = im.resize((max(1, round(w * f)), max(1, round(h * f))), Image.LANCZOS)
    out = Image.new("RGBA", (side, side), (0, 0, 0, 0))
    out.alpha_composite(im, ((side - im.size[0]) // 2, (side - im.size[1]) // 2))
    return out


def tint(im, dark, light):
    """Recolours a glyph between two colours by its lightness."""
    r, g, b, a = im.split()
    grey = Image.merge("RGB", (r, g, b)).convert("L")
    lo, hi = min(grey.getdata()), max(grey.getdata())
    span = max(1, hi - lo)
    chans = [grey.point([round(d + (l - d) * max(0, x - lo) / span) for x in range(256)]) for d, l in zip(dark, light)]
    return Image.merge("RGBA", chans + [a])


def gold(im):
    r, g, b, a = im.split()
    grey = Image.merge("RGB", (r, g, b)).convert("L")
    lut_r = [min(255, int(90 + x * 0.75)) for x in range(256)]
    lut_g = [min(255, int(55 + x * 0.68)) for x in range(256)]
    lut_b = [min(255, int(0 + x * 0.25)) for x in range(256)]
    return Image.merge("RGBA", (grey.point(lut_r), grey.point(lut_g), grey.point(lut_b), a))


def drawn(kind):
    side = 136
    if kind == "yellowcard":
        svg = svg_doc(side, side,
                      '<g transform="rotate(-12 68 68)"><rect x="38" y="16" width="62" height="96" rx="9" fill="url(#y)" '
                      'stroke="#c48f00" stroke-width="4"/><path d="M48 28h30" stroke="#ffffff" stroke-opacity=".6" '
                      'stroke-width="6" stroke-linecap="round"/></g>', defs=lin("y", "#ffe45c", "#f5b800"))
    elif kind == "fortune":
        svg = svg_doc(side, side,
                      '<rect x="22" y="22" width="92" height="92" rx="12" transform="rotate(45 68 68)" fill="url(#r)" '
                      'stroke="#a3161b" stroke-width="4"/>' + text(68, 90, "복", 60, fill="#ffd54a"),
                      defs=lin("r", "#f0513f", "#c41f25"))
    elif kind == "wreath":
        leaves = ""
        for i in range(16):
            a = 2 * math.pi * i / 16
            cx, cy = 68 + 40 * math.cos(a), 64 + 40 * math.sin(a)
            leaves += ('<ellipse cx="%.1f" cy="%.1f" rx="15" ry="9" transform="rotate(%.1f %.1f %.1f)" fill="%s"/>'
                       % (cx, cy, math.degrees(a) + 60, cx, cy, "#2e9d4f" if i % 2 else "#1f7a3b"))
        for i in range(6):
            a = 2 * math.pi * (i + 0.5) / 6
            leaves += '<circle cx="%.1f" cy="%.1f" r="6" fill="#e53935"/>' % (68 + 40 * math.cos(a), 64 + 40 * math.sin(a))
        bow = ('<path d="M68 108l-24-14v26zM68 108l24-14v26z" fill="#e53935" stroke="#a31d1d" stroke-width="3" stroke-linejoin="round"/>'
               '<circle cx="68" cy="108" r="8" fill="#c62828"/>')
        svg = svg_doc(side, side, leaves + bow)
    else:
        raise KeyError(kind)
    return render(svg, side, side)


def emoticon_source(recipe):
    if recipe.startswith("draw:"):
        return drawn(recipe[5:])
    if recipe.startswith("red:"):
        return square(tint(emoji_image(recipe[4:]), (100, 0, 4), (238, 58, 52)))
    if recipe.startswith("gold:"):
        return square(gold(emoji_image(recipe[5:])))
    if recipe.startswith("pair:"):
        _, big, small = recipe.split(":")
        base = square(emoji_image(big))
        flag = emoji_image(small)
        flag = flag.resize((70, round(70 * flag.size[1] / flag.size[0])), Image.LANCZOS)
        base.alpha_composite(flag, (136 - 72, 136 - flag.size[1] - 2))
        return base
    return square(emoji_image(recipe))


def make_emoticons():
    os.makedirs(EMO, exist_ok=True)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<!-- Emoticons of KZemvik: a code is an item name between two slashes, for example /윙크/. -->',
             '<emoticons version="1">']
    seen = set()
    for page, items in PAGES:
        lines.append('  <tab name=%s icon=%s>' % (quoteattr(page), quoteattr(items[0][1] + ".png")))
        for name, base, recipe in items:
            assert base not in seen, base
            seen.add(base)
            src = emoticon_source(recipe)
            for size, path in ((EMO_SIZE, os.path.join(EMO, base + ".png")),
                               (EMO_SIZE * 2, os.path.join(EMO, base + "@2x.png"))):
                write_png(src.resize((size, size), Image.LANCZOS), path)
            lines.append('    <item name=%s url=%s/>' % (quoteattr(name), quoteattr(base + ".png")))
        lines.append('  </tab>')
    lines.append('</emoticons>')
    with open(os.path.join(EMO, "Emoticons_u.sm"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    return sum(len(items) for _, items in PAGES)


# ---------------------------------------------------------------- contact sheets
def sheets(outdir):
    """Contact sheets for review: small pictures enlarged 3 times (point sampled), the wide
    ones at their size, and the emoticons at 2x; each on white and on a dark background."""
    os.makedirs(outdir, exist_ok=True)
    font = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
    files = [os.path.join(PICS, f) for f in sorted(os.listdir(PICS)) if f.endswith((".png", ".bmp")) and "@2x" not in f]
    files += [os.path.join(TRAY, f) for f in sorted(os.listdir(TRAY)) if "@2x" not in f]
    small = [f for f in files if max(Image.open(f).size) <= 48]
    wide = [f for f in files if f not in small]
    emo = [os.path.join(EMO, f) for f in sorted(os.listdir(EMO)) if f.endswith("@2x.png")]
    zoomed = []
    zdir = os.path.join(TMP, "zoom")
    os.makedirs(zdir, exist_ok=True)
    def see_through(f):
        im = Image.open(f).convert("RGBA")
        if f.endswith(".bmp"):
            px = im.load()
            for y in range(im.size[1]):
                for x in range(im.size[0]):
                    if px[x, y][:3] == (255, 255, 255):
                        px[x, y] = (255, 255, 255, 0)
        return im

    keyed_wide = []
    for f in wide:
        out = os.path.join(zdir, os.path.basename(f).replace(".", "_") + ".png")
        see_through(f).save(out)
        keyed_wide.append(out)
    wide = keyed_wide
    for f in small:
        im = see_through(f)
        name = ("tray_" if os.path.dirname(f) == TRAY else "") + os.path.basename(f).replace(".", "_") + ".png"
        im.resize((im.size[0] * 3, im.size[1] * 3), Image.NEAREST).save(os.path.join(zdir, name))
        zoomed.append(os.path.join(zdir, name))
    for bg, ink, tag in (("white", "black", "light"), ("#2b2f36", "white", "dark")):
        common = ["montage", "-font", font, "-pointsize", "9", "-background", bg, "-fill", ink]
        subprocess.run(common + ["-label", "%t", "-geometry", "+4+4", "-tile", "10x"] + zoomed
                       + [os.path.join(outdir, "small-%s.png" % tag)], check=True)
        subprocess.run(common + ["-label", "%t", "-geometry", "+6+6", "-tile", "4x"] + wide
                       + [os.path.join(outdir, "wide-%s.png" % tag)], check=True)
        subprocess.run(common + ["-label", "%t", "-geometry", "+4+4", "-tile", "16x"] + emo
                       + [os.path.join(outdir, "emoticons-%s.png" % tag)], check=True)


def overview(path):
    """One small picture of everything at its 1x size, on white above and on dark below."""
    files = [os.path.join(PICS, f) for f in sorted(os.listdir(PICS)) if f.endswith((".png", ".bmp")) and "@2x" not in f]
    files += [os.path.join(TRAY, f) for f in sorted(os.listdir(TRAY)) if "@2x" not in f]
    files += [os.path.join(EMO, f) for f in sorted(os.listdir(EMO)) if f.endswith(".png") and "@2x" not in f]
    images = []
    for f in files:
        im = Image.open(f).convert("RGBA")
        if f.endswith(".bmp"):
            px = im.load()
            for y in range(im.size[1]):
                for x in range(im.size[0]):
                    if px[x, y][:3] == (255, 255, 255):
                        px[x, y] = (255, 255, 255, 0)
        images.append(im)
    images.sort(key=lambda im: (im.size[1], im.size[0]))
    width, pad = 760, 4
    rows, row, x = [], [], pad
    for im in images:
        if x + im.size[0] + pad > width and row:
            rows.append(row)
            row, x = [], pad
        row.append(im)
        x += im.size[0] + pad
    rows.append(row)
    half = sum(max(im.size[1] for im in r) + pad for r in rows) + pad
    sheet = Image.new("RGBA", (width, half * 2), (255, 255, 255, 255))
    sheet.paste((43, 47, 54, 255), (0, half, width, half * 2))
    for top in (0, half):
        y = top + pad
        for r in rows:
            x = pad
            for im in r:
                sheet.alpha_composite(im, (x, y))
                x += im.size[0] + pad
            y += max(im.size[1] for im in r) + pad
    sheet.convert("RGB").quantize(255, method=Image.Quantize.MEDIANCUT).save(path, optimize=True)


def main():
    for d in (PICS, TRAY, ICONS, EMO):
        os.makedirs(d, exist_ok=True)
        for f in os.listdir(d):
            if f.endswith((".png", ".bmp", ".svg", ".sm")):
                os.remove(os.path.join(d, f))
    make_status()
    make_tray()
    make_app_icons()
    make_login()
    make_header()
    make_popups()
    make_chat_and_memo()
    make_settings()
    make_list_pictures()
    n = make_emoticons()
    print("pictures: %d, emoticons: %d" % (len(MADE), n))
    os.makedirs(os.path.join(PICS, "tools"), exist_ok=True)
    overview(os.path.join(PICS, "tools", "contact-sheet.png"))
    if "--sheet" in sys.argv:
        sheets("/tmp/kzemvik-sheets")
    shutil.rmtree(TMP, ignore_errors=True)


if __name__ == "__main__":
    main()
