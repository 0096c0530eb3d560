#pragma once

#include <QString>

namespace vantorel {

// How much of a value a display shows. A stored value may be megabytes long; a display shows a
// bounded part of it, so that no value can make a window slow, and ends that part in "…".

// The value's first line, at most `limit` characters of it (never half an emoji), with "…"
// after it when anything was left out.
QString firstLineShown(const QString& value, int limit);

// The value for a tool tip: at most a screenful of it, wrapped, with "…" when cut.
QString toolTipShown(const QString& value);

// The value for a scrolling text view, whole, with a line break put in wherever a line runs
// longer than `longest` characters (at its last blank before that, if any): a view lays out
// only the lines on show, but each line whole, so a line of megabytes would stall it.
QString inViewableLines(const QString& value, int longest);

} // namespace vantorel
