#include "SwapScript.h"

#include <QUrl>

namespace Blinkwit {

QString SwapScript::quoted(const QString& s) {
    QString escaped = s;
    escaped.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString SwapScript::literalPattern(const QString& s) {
    QString pattern;
    for (const QChar c : s) {
        if (QStringView(u"\\.[]()*+?{}|^$").contains(c))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern;
}

QString SwapScript::text(const QString& target, const QString& staged, qint64 running) {
    static const QString body = QStringLiteral(R"script(#!/bin/bash
set -u
TARGET=%1
STAGED=%2
EXEC=%3
TRASH_PATH=%4
RUNNING=%5

# The critical step. Starting Blinkwit again only hands the request to a copy that's
# already running — without this, "install update" would swap the files and then
# quietly leave the old copy in memory.
pkill -f "$EXEC" 2>/dev/null
# Started through a link or a relative path, the running copy's command line doesn't show
# the path pkill looks for. Its pid is checked by state: ended but not yet reaped still counts
# as ended.
[ "$RUNNING" -gt 0 ] && kill "$RUNNING" 2>/dev/null
running() { [ "$RUNNING" -gt 0 ] && ps -o stat= -p "$RUNNING" 2>/dev/null | grep -qv Z; }

for _ in $(seq 1 100); do
  pgrep -f "$EXEC" >/dev/null 2>&1 || running || break
  sleep 0.1
done

# Trash, don't delete: a bad build stays recoverable by hand.
TRASH="${XDG_DATA_HOME:-$HOME/.local/share}/Trash"
NAME="Blinkwit-$(date +%s).app"
if [ -d "$TARGET" ]; then
  if mkdir -p "$TRASH/files" "$TRASH/info" && (set -o noclobber
    printf '[Trash Info]\nPath=%s\nDeletionDate=%s\n' "$TRASH_PATH" "$(date +%Y-%m-%dT%H:%M:%S)" \
      >"$TRASH/info/$NAME.trashinfo"); then
    mv -T "$TARGET" "$TRASH/files/$NAME" 2>/dev/null ||
      { rm -f "$TRASH/info/$NAME.trashinfo"; rm -rf "$TARGET"; }
  else
    rm -rf "$TARGET"
  fi
fi

cp -a "$STAGED" "$TARGET" || exit 1

# The desktop's menus still hold what they read before; refresh them so launchers
# point at what's actually there now.
command -v update-desktop-database >/dev/null &&
  update-desktop-database -q "${XDG_DATA_HOME:-$HOME/.local/share}/applications" 2>/dev/null

rm -rf "$(dirname "$STAGED")"
setsid "$TARGET/bin/blinkwit" </dev/null >/dev/null 2>&1 &)script");
    // EXEC is a pattern for pkill and pgrep, so that any character in the path matches itself.
    return body.arg(quoted(target), quoted(staged),
                    quoted(literalPattern(target + QStringLiteral("/bin/blinkwit"))),
                    quoted(QString::fromLatin1(QUrl::toPercentEncoding(target, "/"))),
                    QString::number(running));
}

} // namespace Blinkwit
