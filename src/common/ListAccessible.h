#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace vantorel {

// How a screen reader meets a list of entries (the repair dates, a report column): a list named by
// its caption, whose entries it counts, reads and follows as the keys move the current entry. An
// entry's interface is made only when a screen reader asks for that entry, so a report column of
// a million entries costs no more than one of ten. A factory for QAccessible::installFactory.
QAccessibleInterface* listAccessible(const QString& className, QObject* object);

} // namespace vantorel
