#!/bin/bash
# The two QML modules of plasma-workspace that xdg-desktop-portal-kde 5.27
# loads even for a screenshot that asks nothing (org.kde.plasma.workspace.dialogs
# and org.kde.plasma.lookandfeel). The package itself is a whole desktop
# shell: the KDE tests take these four files out of its .deb into the build
# tree instead (QML2_IMPORT_PATH points there). Nothing ships with them.
#   scripts/setup.d/plasma-dialogs.sh BUILD_DIR
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR}
target=$build/test-tools/plasma-qml
version=$(apt-cache policy plasma-workspace 2>/dev/null | awk '/Candidate:/ {print $2}')
if [ -z "$version" ] || [ "$version" = "(none)" ]; then
  echo "plasma-dialogs: apt knows no plasma-workspace package" >&2
  exit 1
fi
if [ -f "$target/org/kde/plasma/workspace/dialogs/qmldir" ] && [ "$(cat "$target/.version" 2>/dev/null)" = "$version" ]; then
  exit 0
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# apt fetches as its own user when it can write the folder.
if id _apt >/dev/null 2>&1; then
  chown _apt "$scratch"
fi
(cd "$scratch" && apt-get download -q "plasma-workspace=$version" >/dev/null)
dpkg-deb -x "$scratch"/plasma-workspace_*.deb "$scratch/root"
qml=$(dirname "$(find "$scratch/root" -path '*/qml/org/kde/plasma/workspace/dialogs/qmldir' | head -1)")/../../../../..
rm -rf "$target"
mkdir -p "$target/org/kde/plasma/workspace/dialogs" "$target/org/kde/plasma/lookandfeel"
cp "$qml"/org/kde/plasma/workspace/dialogs/{qmldir,SystemDialog.qml} "$target/org/kde/plasma/workspace/dialogs/"
cp "$qml"/org/kde/plasma/lookandfeel/{qmldir,liblookandfeelqmlplugin.so} "$target/org/kde/plasma/lookandfeel/"
echo "$version" > "$target/.version"
echo "== plasma-workspace $version QML dialogs in $target"
