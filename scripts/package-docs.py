#!/usr/bin/env python3
"""Makes the documents of the Windows package from those of the repository.

    package-docs.py guide GUIDE.md OUT.html    the guide as one HTML page with its pictures
                                               inside it, so it can be opened from anywhere
    package-docs.py text SOURCE OUT            a text file as Notepad reads it everywhere:
                                               UTF-8 with a byte order mark, CRLF line ends
"""
import base64
import html
import pathlib
import re
import sys

PAGE = """<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<style>
body {{ font-family: "Yu Gothic UI", Meiryo, "MS PGothic", sans-serif; line-height: 1.7;
       max-width: 48em; margin: 2em auto; padding: 0 1em; color: #222; }}
h1 {{ border-bottom: 3px solid #c33; padding-bottom: .2em; }}
h2 {{ border-bottom: 1px solid #ccc; margin-top: 2em; }}
img {{ max-width: 100%; border: 1px solid #bbb; display: block; margin: .5em 0 1em; }}
kbd {{ border: 1px solid #999; border-radius: 3px; padding: 0 .3em; background: #f4f4f4; }}
code {{ background: #f4f4f4; padding: 0 .2em; }}
table {{ border-collapse: collapse; }}
th, td {{ border: 1px solid #bbb; padding: .2em .6em; text-align: left; vertical-align: top; }}
nav {{ background: #f8f8f8; border: 1px solid #ddd; padding: .5em 1em; }}
nav ul {{ margin: 0; }}
</style>
</head>
<body>
<h1>{title}</h1>
<nav>{toc}</nav>
{body}
</body>
</html>
"""


def inline_pictures(body, folder):
    """Puts each picture the page names into the page itself."""

    def data_uri(match):
        picture = folder / html.unescape(match.group(1))
        encoded = base64.b64encode(picture.read_bytes()).decode("ascii")
        return 'src="data:image/png;base64,' + encoded + '"'

    return re.sub(r'src="([^":]+\.png)"', data_uri, body)


def heading_id(heading, separator):
    """The anchor a heading gets where the repository shows the guide, so that the guide's
    links to its own sections work there and in the package alike."""
    return re.sub(r"[^\w\- ]", "", heading.strip().lower()).replace(" ", separator)


def guide(source, target):
    import markdown  # Debian's python3-markdown
    from markdown.extensions.toc import TocExtension

    text = source.read_text(encoding="utf-8")
    title_match = re.match(r"# (.+)\n", text)
    if not title_match:
        sys.exit(f"{source}: the guide must start with its '# ' title")
    converter = markdown.Markdown(
        extensions=["tables", TocExtension(slugify=heading_id, toc_depth="2")]
    )
    body = converter.convert(text[title_match.end():])
    # A line break inside a Japanese paragraph is no space between words: drop it rather than
    # let the browser show a blank in the middle of a sentence.
    body = re.sub(r"(?<=[^\x00-\x7f])\n[ \t]*(?=[^\s<])", "", body)
    page = PAGE.format(
        title=html.escape(title_match.group(1)),
        toc=converter.toc,
        body=inline_pictures(body, source.parent),
    )
    target.write_text(page, encoding="utf-8", newline="\r\n")


def text(source, target):
    content = source.read_text(encoding="utf-8").lstrip("\ufeff")
    target.write_text(content, encoding="utf-8-sig", newline="\r\n")


def main():
    commands = {"guide": guide, "text": text}
    if len(sys.argv) != 4 or sys.argv[1] not in commands:
        sys.exit(__doc__)
    commands[sys.argv[1]](pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3]))


main()
