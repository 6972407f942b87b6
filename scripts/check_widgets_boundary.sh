#!/usr/bin/env bash
# The model libraries read, write and print without a window: no source file
# outside a ui/ folder (and the quillpost program itself) may include a
# QtWidgets header, and no CMake list outside them may link Qt6::Widgets.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
widgets="${QT_WIDGETS_INCLUDE_DIR:-}"
if [[ -z "$widgets" ]]; then
  for d in /usr/include/x86_64-linux-gnu/qt6/QtWidgets /usr/include/qt6/QtWidgets \
           /usr/include/aarch64-linux-gnu/qt6/QtWidgets; do
    [[ -d "$d" ]] && widgets="$d" && break
  done
fi
[[ -d "$widgets" ]] || { echo "QtWidgets headers not found; set QT_WIDGETS_INCLUDE_DIR" >&2; exit 2; }
# The help service is the windows' own help viewer and pointer help.
allowed() {
  [[ "$1" == */ui/* || "$1" == src/help/* || "$1" == src/app/quillpost_main.cpp ||
     "$1" == src/app/app_icon.* ]]
}
fail=0
cd "$root"
while IFS= read -r f; do
  allowed "$f" && continue
  while IFS= read -r h; do
    name="${h#QtWidgets/}"
    if [[ "$h" == QtWidgets/* || -e "$widgets/$name" ]]; then
      echo "$f includes the widgets header <$h>" >&2
      fail=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\([^>]*\)>.*/\1/p' "$f")
done < <(find src -name '*.h' -o -name '*.cpp' | sort)
# Targets linking Qt6::Widgets: only ui libraries and the quillpost program.
python3 - "$root" <<'PY' || fail=1
import pathlib, re, sys
root = pathlib.Path(sys.argv[1])
bad = False
for f in sorted((root / "src").rglob("CMakeLists.txt")):
    text = f.read_text()
    for m in re.finditer(r"target_link_libraries\(\s*(\S+)([^)]*)\)", text):
        target, args = m.group(1), m.group(2)
        if "Qt6::Widgets" in args and not (target.endswith("_ui") or target in ("quillpost", "qp_help")):
            print(f"{f.relative_to(root)}: {target} links Qt6::Widgets", file=sys.stderr)
            bad = True
sys.exit(1 if bad else 0)
PY
exit "$fail"
