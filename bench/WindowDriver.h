#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace bench {

// Drives the program's real windows by their controls' object names, as a user would, and
// answers each message box the moment it appears. The time of an action ends when its message
// box appears (the work is done then), or when the handler returns if it shows none.
class WindowDriver : public QObject {
    Q_OBJECT

public:
    WindowDriver();

    // Milliseconds one run of `action` took.
    double time(const std::function<void()>& action);
    // The messages shown since the last call.
    QStringList takeMessages();

    static void type(QWidget* window, const char* box, const QString& text);
    static void choose(QWidget* window, const char* combo, const QString& text);
    static void tick(QWidget* window, const char* checkBox, bool ticked);
    static void click(QWidget* window, const char* button);
    static QWidget* find(QWidget* parent, const char* name);
    // Lets posted deletions and layouts run between actions, outside the timed part.
    static void settle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer m_clock;
    double m_messageShownAt = -1;
    QStringList m_messages;
};

} // namespace bench
