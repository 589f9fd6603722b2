#!/usr/bin/env python3
"""Writes a program's manual page, and for lumora-cli its bash completion, from the program's
own --help text, so that a new command or option appears in both without editing them.

    make-cli-docs.py PROGRAM TEMPLATE MANPAGE [COMPLETION] [--define NAME=VALUE]...

The template is roff with @NAME@ placeholders: @SYNOPSIS@, @OPTIONS@, @ARGUMENTS@ and
@COMMANDS@ come from the help text, the others from --define.
"""
import os
import re
import subprocess
import sys

# What the completion offers for an option's value or an argument. Looked up as
# "COMMAND --option", then "--option", then by the value's or argument's name in the help text
# (<DOC>, KIND, FILE.js as FILE); nothing is offered for the rest.
VALUES = {
    "DOC": "documents",
    "IN": "documents",
    "OUT": "documents",
    "FILE": "files",
    "DIR": "folders",
    "KIND": "words matrix strip ring",
    "--pattern": "patterns",
    "--power": "patterns",
    "--header-style": "words classic modern",
    "--start": "words top-left top-right bottom-left bottom-right",
    "--order": "words RGB GRB BRG RBG GBR BGR",
    "--time-base": "words preview export",
    "--format": "words wled wled-gaps pixelblaze fastled screenmap xmodel csv",
    "import --format": "words wled pixelblaze xmodel csv",
    "--target": "words avr esp32 rp2040 arm host",
}
# Every command has these; the manual lists them with the program's options only.
HELP_OPTIONS = {"-h", "--help", "--help-all"}


class Option:
    def __init__(self, names, value, text):
        self.names, self.value, self.text = names, value, text


class Help:
    """One --help text: usage syntax, description lines, options and arguments."""

    def __init__(self, text, program):
        lines = text.rstrip("\n").split("\n")
        usage = f"Usage: {program} "
        if not lines[0].startswith(usage):
            sys.exit(f"make-cli-docs: no usage line in: {lines[0]!r}")
        self.syntax = lines[0][len(usage):]
        self.description, self.options, self.arguments = [], [], []
        section = self.description
        for line in lines[1:]:
            if line in ("Options:", "Arguments:"):
                section = self.options if line == "Options:" else self.arguments
            elif section is self.description:
                section.append(line)
            elif not line.strip():
                continue
            elif line.startswith("   ") and section:
                section[-1][1].append(line.strip())
            else:
                head, _, text = line.strip().partition("  ")
                section.append((head, [text.strip()] if text.strip() else []))
        while self.description and not self.description[-1].strip():
            self.description.pop()
        self.options = [self._option(head, text) for head, text in self.options]
        self.arguments = [(name, " ".join(text)) for name, text in self.arguments]

    @staticmethod
    def _option(head, text):
        value = re.search(r" <([^>]+)>$", head)
        names = re.sub(r" <[^>]+>$", "", head).split(", ")
        return Option(names, value.group(1) if value else None, " ".join(text))


def run_help(program, *arguments):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", ASAN_OPTIONS="detect_leaks=0")
    result = subprocess.run([program, *arguments, "--help"], capture_output=True, text=True, env=environment)
    if result.returncode != 0:
        sys.exit(f"make-cli-docs: {program} {' '.join(arguments)} --help exited {result.returncode}: {result.stderr}")
    help = Help(result.stdout, program)
    # A command's usage line names the command after the program; keep only what follows it.
    if arguments and help.syntax.startswith(arguments[0] + " "):
        help.syntax = help.syntax[len(arguments[0]) + 1:]
    return help


def roff(text):
    """Text as roff: backslashes escaped, options' hyphens as minus signs."""
    text = text.replace("\\", "\\e")
    text = re.sub(r"(?<![\w-])(--?)(?=[a-zA-Z])", lambda m: "\\-" * len(m.group(1)), text)
    return re.sub(r"^([.'])", r"\\&\1", text, flags=re.M)


def roff_syntax(name, syntax):
    words = [f"\\fB{roff(name)}\\fR"]
    for word in syntax.split():
        word = re.sub(r"[A-Za-z]+", lambda m: f"\\fI{m.group(0)}\\fR", word) if word != "command" else "\\fICOMMAND\\fR"
        words.append(word)
    return " ".join(words)


def roff_paragraphs(lines):
    """Description lines as paragraphs; indented lines stay as they are."""
    out, literal = [], False
    for line in lines:
        if not line.strip():
            out.append(".PP")
            continue
        indented = line.startswith(" ")
        if indented != literal:
            out.append(".RS\n.nf" if indented else ".fi\n.RE")
            literal = indented
        out.append(roff(line.strip()))
    if literal:
        out.append(".fi\n.RE")
    return "\n".join(out)


def roff_options(options, help_too=False):
    out = []
    for option in options:
        if HELP_OPTIONS.issuperset(option.names) and not help_too:
            continue
        names = ", ".join(f"\\fB{roff(name)}\\fR" for name in option.names)
        value = f" \\fI{option.value}\\fR" if option.value else ""
        out.append(f".TP\n{names}{value}\n{roff(option.text)}")
    return "\n".join(out)


def roff_arguments(arguments):
    return "\n".join(f".TP\n\\fI{name}\\fR\n{roff(text)}" for name, text in arguments)


def commands_of(top):
    """The (name, summary) pairs of the "Commands:" block of the top-level description."""
    commands, inside = [], False
    for line in top.description:
        if line == "Commands:":
            inside = True
        elif inside and re.match(r"  \S", line):
            name, _, summary = line.strip().partition(" ")
            commands.append((name, summary.strip()))
        elif inside:
            break
    return commands


def manual(program, template, defines):
    name = os.path.basename(program)
    top = run_help(program)
    fields = dict(defines)
    fields["SYNOPSIS"] = roff_syntax(name, top.syntax)
    fields["OPTIONS"] = roff_options(top.options, help_too=True)
    fields["ARGUMENTS"] = roff_arguments(top.arguments)
    sections, helps = [], {}
    for command, summary in commands_of(top):
        helps[command] = help = run_help(program, command)
        fields["SYNOPSIS"] += "\n.br\n" + roff_syntax(f"{name} {command}", help.syntax)
        body = [f'.SS "{command}"', roff_paragraphs(help.description)]
        if any(not HELP_OPTIONS.issuperset(o.names) for o in help.options):
            body.append(roff_options(help.options))
        if help.arguments:
            body.append(roff_arguments(help.arguments))
        sections.append("\n".join(body))
    fields["COMMANDS"] = "\n".join(sections)
    page = re.sub(r"@([A-Z_]+)@", lambda m: fields.get(m.group(1), m.group(0)), template)
    leftover = re.findall(r"@[A-Z_]+@", page)
    if leftover:
        sys.exit(f"make-cli-docs: nothing given for {', '.join(leftover)}")
    return page, top, helps


def completion(name, top, helps):
    function = "_" + re.sub(r"\W", "_", name)
    lines = [
        f"# bash completion for {name}, made from its --help text at build time.",
        f"{function}_values()",
        "{",
        "    local kind=${1//+/ } cur=$2",
        "    case $kind in",
        "    documents) compopt -o filenames 2>/dev/null",
        "        mapfile -t COMPREPLY < <(compgen -d -- \"$cur\"; compgen -f -X '!*.lumora' -- \"$cur\") ;;",
        "    files) compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -f -- \"$cur\") ;;",
        "    folders) compopt -o filenames 2>/dev/null; mapfile -t COMPREPLY < <(compgen -d -- \"$cur\") ;;",
        "    patterns) mapfile -t COMPREPLY < <(compgen -W \"$(\"${COMP_WORDS[0]}\" patterns 2>/dev/null | cut -d' ' -f1)\" -- \"$cur\") ;;",
        "    words\\ *) mapfile -t COMPREPLY < <(compgen -W \"${kind#words }\" -- \"$cur\") ;;",
        "    *) COMPREPLY=() ;;",
        "    esac",
        "}",
        "",
        f"{function}()",
        "{",
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}",
        "    if ((COMP_CWORD == 1)); then",
        f"        mapfile -t COMPREPLY < <(compgen -W \"{' '.join(helps)} {option_words(top.options)}\" -- \"$cur\")",
        "        return",
        "    fi",
        "    # options: every option word; valued: OPTION=KIND pairs; arguments: KIND per position",
        "    local options='' valued='' arguments=''",
        "    case ${COMP_WORDS[1]} in",
    ]
    for command, help in helps.items():
        valued = " ".join(f"{name}={shell_kind(command, o.names[-1], o.value)}"
                          for o in help.options if o.value for name in o.names)
        arguments = " ".join(shell_kind(command, None, a.rstrip(".").strip("[]"))
                             for a in help.syntax.split() if a != "[options]")
        lines += [f"    {command})",
                  f"        options='{option_words(help.options)}'",
                  f"        valued='{valued}'",
                  f"        arguments='{arguments}' ;;"]
    lines += [
        "    *) return ;;",
        "    esac",
        "    local pair",
        "    for pair in $valued; do",
        "        if [[ $prev == \"${pair%%=*}\" ]]; then",
        f"            {function}_values \"${{pair#*=}}\" \"$cur\"",
        "            return",
        "        fi",
        "    done",
        "    if [[ $cur == -* ]]; then",
        "        mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")",
        "        return",
        "    fi",
        "    # Which argument this is: the words so far that are neither options nor their values.",
        "    local i position=0 skip=0",
        "    for ((i = 2; i < COMP_CWORD; ++i)); do",
        "        if ((skip)); then skip=0; continue; fi",
        "        case \" $valued \" in *\" ${COMP_WORDS[i]}=\"*) skip=1; continue ;; esac",
        "        [[ ${COMP_WORDS[i]} == -* ]] || position=$((position + 1))",
        "    done",
        "    local kinds=($arguments)",
        "    ((position < ${#kinds[@]})) || return",
        f"    {function}_values \"${{kinds[position]}}\" \"$cur\"",
        "}",
        f"complete -F {function} {name}",
        "",
    ]
    return "\n".join(lines)


def option_words(options):
    return " ".join(name for option in options for name in option.names)


def shell_kind(command, option, value):
    """What to offer, as one shell word (spaces as +); "none" when nothing fits. A name with an
    extension (FILE.js) falls back to the name before it."""
    keys = [f"{command} {option}", option, value] if option else [f"{command} {value}", value]
    keys.append(value.split(".")[0])
    kind = next((VALUES[key] for key in keys if key in VALUES), "none")
    return kind.replace(" ", "+")


def main():
    arguments, defines = [], {}
    items = iter(sys.argv[1:])
    for item in items:
        if item == "--define":
            key, _, value = next(items).partition("=")
            defines[key] = value
        else:
            arguments.append(item)
    if len(arguments) not in (3, 4):
        sys.exit(__doc__)
    program, template, manpage = arguments[:3]
    with open(template, encoding="utf-8") as file:
        page, top, helps = manual(program, file.read(), defines)
    with open(manpage, "w", encoding="utf-8") as file:
        file.write(page)
    if len(arguments) == 4:
        with open(arguments[3], "w", encoding="utf-8") as file:
            file.write(completion(os.path.basename(program), top, helps))


if __name__ == "__main__":
    main()
