#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quarnel authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that every program the project calls comes from a package that
scripts/install-deps.sh installs, or from the set every Debian system has; and that each
script's own calls come from the groups it asks scripts/install-deps.sh for.

Where programs are called from:
  - shell scripts (every tracked *.sh file, files with a sh/bash first line, .ci/run),
    parsed with shfmt: each command word, also behind sudo, env, nice, timeout,
    xvfb-run, xargs and inside bash -c '...';
  - CMake files and CMakePresets.json: find_program names, literal COMMAND words, the
    compilers and generator the presets and toolchain files name, and the tools CPack
    calls for the settings used (CPACK_DEBIAN_PACKAGE_SHLIBDEPS needs file and
    dpkg-shlibdeps, CPACK_STRIP_FILES strip, the NSIS generator makensis);
  - the sh code blocks of README.md and docs/*.md;
  - tests that look a program up with FindProgram("name").

Each shell script is checked against the groups it names when it calls
scripts/install-deps.sh (no group named: every group). A script that does not call it is
checked against the groups of each script that runs or sources it; one that nothing runs,
like the Markdown, CMake files and tests, against every group.

A package counts as installed when the dependency list names it or apt pulls it in
through Depends/Pre-Depends of a listed one (the script installs without recommends),
or when it is essential or of priority required (what debootstrap's minbase gives).

Annotations, each with its reason on the same line:
  # deps-check: ignore WORD...    in a shell file: WORD is not a program this machine
                                  must provide there (e.g. sudo, used only when not root)
  <!-- deps-check: skip -->       in Markdown, just before a code block that runs on
                                  another machine (a board, Windows)

Usage: scripts/check-deps.py [--without PKG]... [--self-test] [-v]
  --without PKG  check as if PKG were taken out of every group (must then fail if needed)
  --self-test    for each script (and for the whole), take each package of its groups that
                 provides a program it calls out in turn and make sure the check fails
                 where nothing else pulls the package in; exits non-zero if it does not
Exit status: 0 when everything is provided, 1 when something is missing, 2 on misuse.
"""

from __future__ import annotations

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
from collections import defaultdict
from dataclasses import dataclass, field
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEPS_SCRIPT = ROOT / "scripts" / "install-deps.sh"
# Only Debian's own folders: a program found in /usr/local or a user's tool manager is
# not what a fresh machine would run.
DEBIAN_PATH = ["/usr/sbin", "/usr/bin", "/sbin", "/bin"]

SHELL_WORDS = {
    # keywords and builtins of bash: never a program
    "!", "[[", "]]", "{", "}", "case", "do", "done", "elif", "else", "esac", "fi", "for",
    "function", "if", "in", "select", "then", "time", "until", "while", ".", ":", "[",
    "alias", "bg", "bind", "break", "builtin", "caller", "cd", "command", "compgen",
    "complete", "compopt", "continue", "declare", "dirs", "disown", "echo", "enable",
    "eval", "exec", "exit", "export", "false", "fc", "fg", "getopts", "hash", "help",
    "history", "jobs", "kill", "let", "local", "logout", "mapfile", "popd", "printf",
    "pushd", "pwd", "read", "readarray", "readonly", "return", "set", "shift", "shopt",
    "source", "suspend", "test", "times", "trap", "true", "type", "typeset", "ulimit",
    "umask", "unalias", "unset", "wait",
}

# Commands that run the command given after their own options. The value says how many
# leading words after the prefix are its own (a number), or a function that skips them.
def _skip_options(words: list[str], with_value: set[str], positional: int = 0) -> int:
    i = 0
    while i < len(words):
        w = words[i]
        if w == "--":
            return i + 1
        if w.startswith("-"):
            i += 2 if (w in with_value and "=" not in w) else 1
            continue
        if "=" in w and positional == 0 and re.match(r"^[A-Za-z_][A-Za-z0-9_]*=", w):
            i += 1  # env VAR=value
            continue
        if positional > 0:
            i += positional
            positional = 0
            continue
        return i
    return i


PREFIXES = {
    "sudo": lambda w: _skip_options(w, {"-u", "-g", "-C", "-D", "-h", "-p", "-r", "-t", "-U"}),
    "env": lambda w: _skip_options(w, {"-u", "-C", "-S"}),
    "nice": lambda w: _skip_options(w, {"-n"}),
    "ionice": lambda w: _skip_options(w, {"-c", "-n", "-p"}),
    "nohup": lambda w: 0,
    "setsid": lambda w: _skip_options(w, set()),
    "stdbuf": lambda w: _skip_options(w, {"-i", "-o", "-e"}),
    "timeout": lambda w: _skip_options(w, {"-k", "-s", "--kill-after", "--signal"}, 1),
    "xargs": lambda w: _skip_options(w, {"-a", "-d", "-E", "-I", "-L", "-n", "-P", "-s"}),
    "xvfb-run": lambda w: _skip_options(w, {"-n", "-s", "-e", "-f", "-p", "-w",
                                           "--server-num", "--server-args",
                                           "--error-file", "--auth-file",
                                           "--xauth-protocol", "--wait"}),
    "exec": lambda w: _skip_options(w, {"-a"}),
    "command": lambda w: 0,
    "builtin": lambda w: len(w),
    "unbuffer": lambda w: 0,
}


@dataclass
class Uses:
    # program name (or absolute path) -> places it is called from
    places: dict[str, list[str]] = field(default_factory=lambda: defaultdict(list))
    # alternatives: any one of the names may provide it (find_program NAMES a b c)
    groups: list[tuple[tuple[str, ...], str]] = field(default_factory=list)
    # the project's scripts this code runs or sources (paths from the repository root)
    runs: set[str] = field(default_factory=set)
    # the groups asked for, one list per call of the dependency script ([] = every group)
    asks: list[list[str]] = field(default_factory=list)

    def add(self, name: str, place: str) -> None:
        self.places[name].append(place)


def run(cmd: list[str], **kw) -> subprocess.CompletedProcess:
    return subprocess.run(cmd, capture_output=True, text=True, **kw)


# ---------------------------------------------------------------------------------------
# What the dependency script installs


def package_groups() -> dict[str, list[str]]:
    """The groups of the dependency script: name -> packages, in the script's order."""
    text = DEPS_SCRIPT.read_text()
    groups = {}
    for match in re.finditer(r"^group_(\w+)=\((.*?)^\)", text, re.S | re.M):
        body = "\n".join(line.split("#", 1)[0] for line in match.group(2).splitlines())
        groups[match.group(1)] = body.split()
    if not groups:
        sys.exit(f"{DEPS_SCRIPT}: no group_NAME=( ... ) list found")
    return groups


def listed_packages(groups: list[str] | None = None) -> list[str]:
    """The packages of the named groups (all of them without a name), each once."""
    every = package_groups()
    result = []
    for name in (every if groups is None else groups):
        for package in every[name]:
            if package not in result:
                result.append(package)
    return result


_GRAPH: dict[str, set[str]] = {}


def dependency_closure(packages: list[str]) -> set[str]:
    """Every package apt installs with these (Depends and Pre-Depends, alternatives and
    providers of virtual packages included). The graph is read once, for the whole list."""
    if not _GRAPH:
        out = run(["apt-cache", "depends", "--recurse", "--no-recommends", "--no-suggests",
                   "--no-conflicts", "--no-breaks", "--no-replaces", "--no-enhances",
                   *listed_packages()])
        if out.returncode != 0:
            sys.exit(f"apt-cache depends failed: {out.stderr.strip()}")
        node = None
        for line in out.stdout.splitlines():
            if not line.strip():
                continue
            if not line.startswith(" "):
                node = line.strip("<>")
                _GRAPH.setdefault(node, set())
            elif node is not None:
                name = line.split(":", 1)[1] if ":" in line else line
                _GRAPH[node].add(name.strip().strip("<>"))
    seen, todo = set(), list(packages)
    while todo:
        package = todo.pop()
        if package not in seen:
            seen.add(package)
            todo.extend(_GRAPH.get(package, ()))
    return seen


_BASE: set[str] = set()


def base_system() -> set[str]:
    if _BASE:
        return set(_BASE)
    out = run(["dpkg-query", "-W", "-f", "${Package}\t${Essential}\t${Priority}\n"])
    base = set()
    for line in out.stdout.splitlines():
        name, essential, priority = (line.split("\t") + ["", ""])[:3]
        if essential == "yes" or priority == "required":
            base.add(name.split(":")[0])
    # debootstrap's minbase adds apt to the required packages: every Debian system has it.
    base.add("apt")
    _BASE.update(base)
    return base


# ---------------------------------------------------------------------------------------
# Shell scripts


def shell_files() -> list[Path]:
    files = run(["git", "-C", str(ROOT), "ls-files"]).stdout.splitlines()
    result = []
    for rel in files:
        path = ROOT / rel
        if not path.is_file():
            continue
        if rel.endswith(".sh") or rel == ".ci/run":
            result.append(path)
            continue
        if "." in path.name:
            continue
        try:
            first = path.open("rb").readline(200)
        except OSError:
            continue
        if re.match(rb"#!.*\b(ba)?sh\b", first):
            result.append(path)
    return result


# Code that could not be parsed: its calls would go unchecked, so the check fails.
UNPARSED: list[str] = []


def shfmt_ast(source: str, origin: str) -> dict | None:
    out = run(["shfmt", "--to-json"], input=source)
    if out.returncode != 0:
        UNPARSED.append(f"{origin}: shfmt cannot parse it: {out.stderr.strip()}")
        return None
    return json.loads(out.stdout)


def word_text(word: dict) -> str | None:
    """The word's text when it is all literal (quoted or not), otherwise None."""
    text = []
    for part in word.get("Parts", []):
        kind = part.get("Type")
        if kind == "Lit" or kind == "SglQuoted":
            text.append(part.get("Value", ""))
        elif kind == "DblQuoted":
            inner = word_text(part)
            if inner is None:
                return None
            text.append(inner)
        else:
            return None
    return "".join(text)


def is_array_expansion(word: dict) -> bool:
    """"${name[@]}": how the scripts put an optional prefix (sudo) before a command."""
    parts = word.get("Parts", [])
    if len(parts) == 1 and parts[0].get("Type") == "DblQuoted":
        parts = parts[0].get("Parts", [])
    return (len(parts) == 1 and parts[0].get("Type") == "ParamExp"
            and parts[0].get("Index") is not None)


def literal_tail(word: dict) -> str:
    """The literal text at the end of a word: "/scripts/x.sh" of "$root/scripts/x.sh"."""
    parts = word.get("Parts", [])
    if len(parts) == 1 and parts[0].get("Type") == "DblQuoted":
        parts = parts[0].get("Parts", [])
    tail = []
    for part in reversed(parts):
        if part.get("Type") not in ("Lit", "SglQuoted"):
            break
        tail.insert(0, part.get("Value", ""))
    return "".join(tail)


def project_script(word: dict) -> str | None:
    """The project file a command word names (scripts/x.sh, "$root/scripts/x.sh")."""
    name = word_text(word)
    if name is not None and "/" in name and not name.startswith("/"):
        return os.path.normpath(name)
    tail = literal_tail(word)
    for top in ("scripts/", ".ci/"):
        if top in tail:
            return os.path.normpath(tail[tail.index(top):])
    return None


def walk(node, visit) -> None:
    if isinstance(node, dict):
        visit(node)
        for value in node.values():
            walk(value, visit)
    elif isinstance(node, list):
        for value in node:
            walk(value, visit)


def function_names(ast: dict) -> set[str]:
    names = set()

    def visit(node):
        if node.get("Type") == "FuncDecl":
            names.add(node["Name"]["Value"])
    walk(ast, visit)
    return names


def calls_in(ast: dict, origin: str, line_offset: int, uses: Uses, ignored: set[str]) -> None:
    def visit(node):
        if node.get("Type") != "CallExpr":
            return
        args = node.get("Args") or []
        line = node["Pos"]["Line"] + line_offset
        place = f"{origin}:{line}"
        i = 0
        while i < len(args):
            if is_array_expansion(args[i]):
                i += 1
                continue
            script = project_script(args[i])
            if script is not None and script.endswith("install-deps.sh"):
                uses.asks.append([word_text(a) or "?" for a in args[i + 1:]])
                return
            if script is not None:
                uses.runs.add(script)
            name = word_text(args[i])
            if name in ("source", ".") and i + 1 < len(args):
                sourced = project_script(args[i + 1])
                if sourced is not None:
                    uses.runs.add(sourced)
                return
            if name is None:
                return  # a program named by a variable is one of ours
            if "/" in name and not name.startswith("/"):
                # One of the project's own scripts or programs: what it needs is its
                # interpreter (its own calls are checked where it is scanned).
                interpreter = shebang_program(ROOT / name)
                if interpreter:
                    uses.add(interpreter, place)
                return
            if name in ("command", "type", "hash") and i + 1 < len(args) and \
                    word_text(args[i + 1]) in ("-v", "-V", "-p", "-t"):
                return  # a look-up, not a call
            if name not in SHELL_WORDS or name in ("command", "exec"):
                if name not in ignored and name not in ("command", "exec", "builtin"):
                    uses.add(name, place)
            if name in ("bash", "sh") and i + 2 < len(args) and word_text(args[i + 1]) == "-c":
                script = word_text(args[i + 2])
                if script is not None:
                    inner = shfmt_ast(script, place)
                    if inner is not None:
                        calls_in(inner, origin, line - 1, uses, ignored)
                return
            if name in PREFIXES:
                rest = [word_text(a) or "$" for a in args[i + 1:]]
                i += 1 + PREFIXES[name](rest)
                continue
            return
    walk(ast, visit)


def shebang_program(path: Path) -> str | None:
    try:
        first = path.open("rb").readline(200).decode(errors="replace")
    except OSError:
        return None
    m = re.match(r"#!\s*(\S+)(?:\s+(\S+))?", first)
    if not m:
        return None
    if m.group(1).endswith("/env") and m.group(2):
        return m.group(2)
    return m.group(1)


def annotations(text: str) -> set[str]:
    ignored = set()
    for m in re.finditer(r"deps-check:\s*ignore\s+([^(\n]*)", text):
        ignored.update(w for w in m.group(1).split() if re.match(r"^[\w.+-]+$", w))
    return ignored


def scan_shell(functions: set[str]) -> dict[str, Uses]:
    """Each shell file's own calls, by its path from the repository root."""
    parsed = []
    for path in shell_files():
        text = path.read_text(errors="replace")
        ast = shfmt_ast(text, str(path))
        if ast is not None:
            parsed.append((path, text, ast))
            functions |= function_names(ast)
    by_script = {}
    for path, text, ast in parsed:
        rel = str(path.relative_to(ROOT))
        uses = by_script[rel] = Uses()
        calls_in(ast, rel, 0, uses, annotations(text))
    return by_script


def scan_markdown(uses: Uses) -> None:
    docs = [ROOT / "README.md", *sorted((ROOT / "docs").glob("**/*.md"))]
    fence = re.compile(r"^```(sh|bash|shell|console)?\s*$")
    for path in docs:
        if not path.is_file():
            continue
        lines = path.read_text().splitlines()
        i = 0
        while i < len(lines):
            m = fence.match(lines[i])
            if m and m.group(1):
                skip = i > 0 and "deps-check: skip" in lines[i - 1]
                start = i + 1
                i += 1
                while i < len(lines) and not lines[i].startswith("```"):
                    i += 1
                if not skip:
                    block = "\n".join(re.sub(r"^\$ ", "", l) for l in lines[start:i])
                    ast = shfmt_ast(block, f"{path}:{start}")
                    if ast is not None:
                        calls_in(ast, str(path.relative_to(ROOT)), start, uses, set())
            elif m:  # a block in another language: step over it
                i += 1
                while i < len(lines) and not lines[i].startswith("```"):
                    i += 1
            i += 1


# ---------------------------------------------------------------------------------------
# CMake


CPACK_TOOLS = {
    "CPACK_DEBIAN_PACKAGE_SHLIBDEPS": ["file", "dpkg-shlibdeps"],
    "CPACK_STRIP_FILES": ["strip"],
}


def cmake_files() -> list[Path]:
    files = run(["git", "-C", str(ROOT), "ls-files"]).stdout.splitlines()
    return [ROOT / f for f in files
            if f.endswith("CMakeLists.txt") or f.endswith(".cmake")]


def cmake_commands(text: str):
    """(name, argument words, line) for each command call, comments removed."""
    text = re.sub(r"#\[\[.*?\]\]", "", text, flags=re.S)
    text = re.sub(r"(?m)#.*$", "", text)
    for m in re.finditer(r"\b([A-Za-z_][A-Za-z0-9_]*)\s*\(", text):
        depth, j = 1, m.end()
        while j < len(text) and depth:
            depth += {"(": 1, ")": -1}.get(text[j], 0)
            j += 1
        words = re.findall(r'"[^"]*"|[^\s()"]+', text[m.end():j - 1])
        yield m.group(1).lower(), [w.strip('"') for w in words], text.count("\n", 0, m.start()) + 1


def substitute(word: str, variables: dict[str, str]) -> str:
    return re.sub(r"\$\{(\w+)\}", lambda m: variables.get(m.group(1), m.group(0)), word)


def scan_cmake(uses: Uses, own_programs: set[str]) -> None:
    for path in cmake_files():
        rel = str(path.relative_to(ROOT))
        variables: dict[str, str] = {}
        text = path.read_text()
        for name, words, line in cmake_commands(text):
            place = f"{rel}:{line}"
            if name == "set" and len(words) >= 2:
                variables[words[0]] = substitute(words[1], variables)
                if words[0] in ("CMAKE_C_COMPILER", "CMAKE_CXX_COMPILER", "CMAKE_RC_COMPILER"):
                    uses.add(variables[words[0]], place)
                if words[0] == "CPACK_GENERATOR" and "NSIS" in words[1:]:
                    uses.add("makensis", place)
            if name in ("add_executable", "quarnel_add_test") and words:
                own_programs.add(words[0])
            if name == "set_target_properties":
                for k, w in enumerate(words[:-1]):
                    if w == "OUTPUT_NAME":
                        own_programs.add(words[k + 1])
            if name == "find_program" and len(words) >= 2:
                rest = words[1:]
                if rest[0] == "NAMES":
                    rest = rest[1:]
                names = []
                for w in rest:
                    if w.isupper() and w not in names:
                        break  # HINTS, PATHS, REQUIRED, ...
                    names.append(substitute(w, variables))
                if names:
                    uses.groups.append((tuple(names), place))
            for k, w in enumerate(words[:-1]):
                if w == "COMMAND":
                    program = substitute(words[k + 1], variables)
                    if "$" not in program and "/" not in program:
                        uses.add(program, place)
        for variable, tools in CPACK_TOOLS.items():
            if re.search(rf"\bset\s*\(\s*{variable}\s+(ON|TRUE|YES|1)\b", text):
                for tool in tools:
                    uses.add(tool, f"{rel} ({variable})")
    # The presets: the generator and any compiler or toolchain they name.
    presets = ROOT / "CMakePresets.json"
    if presets.is_file():
        data = json.loads(presets.read_text())
        for preset in data.get("configurePresets", []):
            place = f"CMakePresets.json ({preset['name']})"
            if preset.get("generator") == "Ninja":
                uses.add("ninja", place)
            cache = preset.get("cacheVariables", {})
            for key in ("CMAKE_C_COMPILER", "CMAKE_CXX_COMPILER"):
                if isinstance(cache.get(key), str):
                    uses.add(cache[key], place)
    # The compiler every default configuration finds.
    uses.add("c++", "CMakeLists.txt (the default C++ compiler)")


def scan_tests(uses: Uses) -> None:
    for folder in ("tests", "bench"):
        for path in sorted((ROOT / folder).glob("**/*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            for m in re.finditer(r'FindProgram\("([^"]+)"\)', path.read_text(errors="replace")):
                uses.add(m.group(1), str(path.relative_to(ROOT)))


# ---------------------------------------------------------------------------------------
# Which package provides a program


def locate(program: str) -> str | None:
    if program.startswith("/"):
        return program if os.path.exists(program) else None
    return shutil.which(program, path=os.pathsep.join(DEBIAN_PATH))


def owners(paths: list[str]) -> dict[str, str]:
    """Debian package of each path (symbolic links and alternatives followed)."""
    candidates: dict[str, list[str]] = {}
    for p in paths:
        real = os.path.realpath(p)
        forms = []
        for form in (p, real):
            forms.append(form)
            for a, b in (("/usr/bin/", "/bin/"), ("/usr/sbin/", "/sbin/")):
                if form.startswith(a):
                    forms.append(b + form[len(a):])
                elif form.startswith(b):
                    forms.append(a + form[len(b):])
        candidates[p] = forms
    every = sorted({f for forms in candidates.values() for f in forms})
    out = run(["dpkg-query", "-S", *every])
    by_path: dict[str, str] = {}
    for line in out.stdout.splitlines():
        if ": " not in line:
            continue
        pkgs, where = line.split(": ", 1)
        if pkgs.startswith("diversion by"):
            continue
        by_path.setdefault(where, pkgs.split(",")[0].strip().split(":")[0])
    result = {}
    for p, forms in candidates.items():
        # Prefer the package of the file itself over the one of an alternatives link.
        for form in reversed(forms):
            if form in by_path:
                result[p] = by_path[form]
                break
    return result


# ---------------------------------------------------------------------------------------


@dataclass
class Scope:
    """Calls checked together against the packages of some groups (None: every group)."""
    name: str
    uses: Uses
    groups: list[str] | None


def script_groups(by_script: dict[str, Uses]) -> dict[str, list[list[str] | None]]:
    """For each script, the group sets its calls must come from: its own request of the
    dependency script, else each request of the scripts that run or source it (followed
    up through scripts that ask for nothing themselves)."""
    every = list(package_groups())
    own: dict[str, list[str] | None] = {}
    for script, uses in by_script.items():
        if uses.asks:
            asked = set()
            for groups in uses.asks:
                asked |= set(groups or every)
            own[script] = [g for g in every if g in asked] + sorted(asked - set(every))
    callers: dict[str, set[str]] = defaultdict(set)
    for script, uses in by_script.items():
        for callee in uses.runs:
            callers[callee].add(script)

    def sets_of(script: str, seen: frozenset) -> list[list[str] | None]:
        if script in own:
            return [own[script]]
        found = []
        for caller in sorted(callers.get(script, ())):
            if caller not in seen:
                found += sets_of(caller, seen | {caller})
        return found or [None]
    result = {}
    for script in by_script:
        unique = []
        for groups in sets_of(script, frozenset({script})):
            if groups not in unique:
                unique.append(groups)
        result[script] = unique
    return result


def collect() -> tuple[list[Scope], set[str]]:
    whole = Uses()
    functions: set[str] = set()
    own: set[str] = set()
    by_script = scan_shell(functions)
    scan_markdown(whole)
    scan_cmake(whole, own)
    scan_tests(whole)
    own |= {name + ".exe" for name in own}
    ignored = functions | own

    def trimmed(uses: Uses) -> Uses:
        uses.places = defaultdict(list, {k: v for k, v in uses.places.items()
                                         if k not in ignored})
        uses.groups = [(names, place) for names, place in uses.groups
                       if not any(n in ignored for n in names)]
        return uses
    scopes = [Scope("the documents, CMake files and tests", trimmed(whole), None)]
    for script, group_sets in sorted(script_groups(by_script).items()):
        uses = trimmed(by_script[script])
        for groups in group_sets:
            label = script if groups is None else f"{script} [{' '.join(groups)}]"
            scopes.append(Scope(label, uses, groups))
    return scopes, ignored


@dataclass
class Provided:
    """Where each called program lives on this machine and which package owns it."""
    located: dict[str, str | None]
    owner: dict[str, str]

    @staticmethod
    def of(uses: Uses) -> "Provided":
        names = list(uses.places) + [n for names, _ in uses.groups for n in names]
        located = {name: locate(name) for name in names}
        return Provided(located, owners([p for p in located.values() if p]))

    def package(self, name: str) -> str | None:
        path = self.located.get(name)
        return self.owner.get(path) if path else None


def check(scope: Scope, provided: Provided, without: set[str], verbose: bool) -> list[str]:
    unknown = sorted(set(scope.groups or []) - set(package_groups()))
    if unknown:
        return [f"{scope.name}: asks for groups the dependency script does not have: "
                f"{' '.join(unknown)}"]
    packages = [p for p in listed_packages(scope.groups) if p not in without]
    allowed = dependency_closure(packages) | (base_system() - without)
    uses = scope.uses
    problems = []

    def judge(name: str) -> tuple[bool, str]:
        path = provided.located.get(name)
        if path is None:
            return False, "not found on this machine"
        package = provided.package(name)
        if package is None:
            return False, f"{path} belongs to no Debian package"
        if package in allowed:
            return True, package
        where = "its groups do" if scope.groups is not None else "the dependency list does"
        return False, f"comes from package {package}, which {where} not install"

    for name in sorted(uses.places):
        ok, why = judge(name)
        where = ", ".join(sorted(set(uses.places[name]))[:3])
        if verbose:
            print(f"{'ok  ' if ok else 'MISS'} {name:28} {why:40} {where}")
        if not ok:
            problems.append(f"{name}: {why} (called from {where})")
    for names, place in uses.groups:
        verdicts = [judge(n) for n in names]
        if verbose:
            print(f"{'ok  ' if any(v[0] for v in verdicts) else 'MISS'} "
                  f"{' | '.join(names):28} {'; '.join(v[1] for v in verdicts)[:40]:40} {place}")
        if not any(ok for ok, _ in verdicts):
            problems.append(f"{' or '.join(names)}: {verdicts[0][1]} (looked up in {place})")
    return problems


def self_test(scopes: list[Scope], provided: Provided) -> int:
    """For each scope, takes out, one at a time, each package of its groups that itself
    provides a program the scope calls. Where no other package of those groups pulls it in
    again, the scope's check must fail; where one does, it must pass."""
    base = base_system()
    failures = 0
    tried = 0
    for scope in scopes:
        listed = listed_packages(scope.groups)
        called = set(scope.uses.places) | {n for names, _ in scope.uses.groups for n in names}
        providers = sorted({p for p in (provided.package(n) for n in called) if p}
                           & set(listed) - base)
        verdicts = []
        for package in providers:
            tried += 1
            needed = package not in dependency_closure([p for p in listed if p != package])
            problems = check(scope, provided, {package}, False)
            if needed == bool(problems):
                verdicts.append(f"{package}: {'fails' if needed else 'passes'}")
            else:
                print(f"self-test: {scope.name} without {package}: the check "
                      f"{'passes' if needed else 'fails'}, which is wrong", file=sys.stderr)
                failures += 1
        if verdicts:
            print(f"self-test: {scope.name}, without {'; '.join(verdicts)}")
    if tried == 0:
        print("self-test: no listed package provides a called program", file=sys.stderr)
        return 1
    return 1 if failures else 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--without", action="append", default=[], metavar="PKG")
    parser.add_argument("--self-test", action="store_true")
    parser.add_argument("-v", "--verbose", action="store_true")
    args = parser.parse_args()
    for tool in ("shfmt", "apt-cache", "dpkg-query"):
        if shutil.which(tool) is None:
            print(f"check-deps: {tool} is missing (run scripts/install-deps.sh)", file=sys.stderr)
            return 2
    unknown = set(args.without) - set(listed_packages())
    if unknown:
        print(f"check-deps: not in the list: {' '.join(sorted(unknown))}", file=sys.stderr)
        return 2

    scopes, _ = collect()
    every = Uses()
    for scope in scopes:
        for name, places in scope.uses.places.items():
            every.places[name] += places
        every.groups += scope.uses.groups
    provided = Provided.of(every)
    if args.self_test:
        return self_test(scopes, provided)
    problems = list(UNPARSED)
    for scope in scopes:
        if args.verbose:
            print(f"--- {scope.name}")
        problems += [f"{scope.name}: {p}" for p in
                     check(scope, provided, set(args.without), args.verbose)]
    count = len(every.places) + len({names for names, _ in every.groups})
    if problems:
        print(f"check-deps: {len(problems)} calls are not provided by the groups of "
              "scripts/install-deps.sh that their script asks for:", file=sys.stderr)
        for p in problems:
            print(f"  {p}", file=sys.stderr)
        return 1
    print(f"check-deps: all {count} called programs come from listed or base packages, "
          f"each script's from its own groups ({len(scopes)} scopes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
