#!/usr/bin/env python3
"""Writes the manual page of controllo-listino from its own --help, so that the two never differ.

Usage: manpage.py PROGRAM OUTPUT
The program's default root is shown as ~/.local/share/controllo-listino, not as the folder of
whoever builds the package.
"""
import os
import re
import subprocess
import sys


def run(program, *words):
    env = {k: v for k, v in os.environ.items()
           if k not in ("CONTROLLO_LISTINO_ROOT", "XDG_DATA_HOME")}
    env["HOME"] = "~"
    return subprocess.run([program, *words], env=env, check=True, capture_output=True,
                          text=True).stdout


def roff(text):
    """Escapes text for a roff line: backslashes, hyphens of options, a leading dot."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def entries(lines, starts):
    """Groups the lines of a help section into (first line, continuation lines)."""
    out = []
    for line in lines:
        if starts(line):
            out.append([line.strip(), []])
        elif line.strip() and out:
            out[-1][1].append(line.strip())
    return out


def section(help_text, title, following):
    body = help_text.split(title + ":\n", 1)[1]
    return body.split(following + ":\n", 1)[0] if following else body


def main(program, output):
    help_text = run(program, "--help")
    version = run(program, "--version").split()[-1]
    usage, rest = help_text.split("\n\n", 1)
    description = rest.split("\n\n", 1)[0]

    page = [
        f'.TH CONTROLLO\\-LISTINO 1 "" "controllo\\-listino {version}" "Comandi utente"',
        ".SH NOME",
        "controllo\\-listino \\- controllo dei listini e dei prezzi di vendita del negozio",
        ".SH SINTASSI",
        ".B controllo\\-listino",
        roff(usage.split("controllo-listino", 1)[1].strip()),
        ".SH DESCRIZIONE",
        roff(description),
        ".PP",
        "Ogni comando delle schermate ha un comando gemello per la riga di comando. "
        "Uscita: 0 fatto, 1 rifiutato o non riuscito (nulla scritto), 2 uso errato.",
        ".SH OPZIONI GLOBALI",
    ]
    options = section(help_text, "Opzioni globali", "Comandi").splitlines()
    for first, more in entries(options, lambda l: l.startswith("  -")):
        name, text = (re.split(r"\s{2,}", first, maxsplit=1) + [""])[:2]
        page += [".TP", ".B " + roff(name), roff(" ".join([text.strip(), *more]).strip())]

    page.append(".SH COMANDI")
    commands = section(help_text, "Comandi", None).splitlines()
    for first, more in entries(commands, lambda l: re.match(r"  \S", l) is not None):
        name = first.split()[0]
        page += [".TP", ".B " + roff(first), roff(" ".join(more))]
        details = run(program, name, "--help").split("\n\n", 1)
        if len(details) > 1 and details[1].strip():
            page += [".IP", ".nf", *(roff(l) for l in details[1].rstrip().splitlines()), ".fi"]

    page += [
        ".SH AMBIENTE",
        ".TP", ".B CONTROLLO_LISTINO_ROOT",
        "cartella radice predefinita, al posto di ~/.local/share/controllo\\-listino",
        ".TP", ".B CONTROLLO_LISTINO_SERVER",
        "server PostgreSQL su cui lavorare, se non si indica \\-\\-server",
        ".TP", ".B CONTROLLO_LISTINO_MDBTOOLS",
        "cartella dei programmi di mdbtools, se non sono nel PATH",
        ".SH VEDERE ANCHE",
        "/usr/share/doc/controllo\\-listino/README.md",
    ]
    with open(output, "w", encoding="utf-8") as f:
        f.write("\n".join(page) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("Uso: manpage.py PROGRAMMA USCITA")
    main(sys.argv[1], sys.argv[2])
