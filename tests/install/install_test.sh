#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs what was installed from
# an unrelated folder, with a fresh program folder.
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log"

id=org.quillpost.Quillpost
for f in bin/quillpost bin/quillpost-batch \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/256x256/apps/$id.png \
         share/man/man1/quillpost.1 share/man/man1/quillpost-batch.1 \
         share/bash-completion/completions/quillpost-batch; do
  [[ -s $prefix/$f ]] || { echo "not installed: $f"; exit 1; }
done

# The PNGs are the sizes their folders say (width and height in the header).
for size in 48 256; do
  got=$(od -An -tu1 -j16 -N8 "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" | tr -s ' ')
  want=" 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
  [[ $got == "$want" ]] || { echo "$size px icon has header $got"; exit 1; }
done

cd "$tmp"
export QUILLPOST_HOME=$tmp/home
export QT_QPA_PLATFORM=offscreen
[[ $("$prefix/bin/quillpost-batch" --version) == "quillpost-batch $version" ]]
[[ $("$prefix/bin/quillpost" --version) == "quillpost $version" ]]
"$prefix/bin/quillpost-batch" create "$tmp/new.dbf" >/dev/null
info=$("$prefix/bin/quillpost-batch" info "$tmp/new.dbf")
grep -q LNAME <<<"$info" || { echo "info lacks LNAME: $info"; exit 1; }
# The stock catalogue is carried inside the program.
stock=$("$prefix/bin/quillpost-batch" stock list --search L7163)
grep -q "Avery L7163" <<<"$stock" || { echo "stock list found: $stock"; exit 1; }

# The completion offers commands and a command's options.
completion=$(bash -c 'source "$1"; COMP_WORDS=(quillpost-batch import-c); COMP_CWORD=1
                      _quillpost_batch; echo "${COMPREPLY[*]}"
                      COMP_WORDS=(quillpost-batch stock list --sea); COMP_CWORD=3
                      _quillpost_batch; echo "${COMPREPLY[*]}"' _ \
             "$prefix/share/bash-completion/completions/quillpost-batch")
[[ $completion == $'import-csv\n--search' ]] || { echo "completion gave: $completion"; exit 1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/$id.desktop"
else
  echo "desktop-file-validate not installed: desktop entry not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
else
  echo "appstreamcli not installed: metainfo not validated"
fi
echo "installed tree ok"
