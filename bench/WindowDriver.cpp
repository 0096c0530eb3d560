#include "WindowDriver.h"

#include "common/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QDialog>
#include <QLabel>
#include <QTimer>

#include <stdexcept>

namespace bench {

WindowDriver::WindowDriver()
{
    qApp->installEventFilter(this);
}

bool WindowDriver::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->objectName() == QLatin1String(vantorel::kMessageBoxObjectName)) {
        if (auto* box = qobject_cast<QDialog*>(watched)) {
            if (m_messageShownAt < 0)
                m_messageShownAt = double(m_clock.nsecsElapsed()) / 1e6;
            m_messages << box->findChild<QLabel*>(QString::fromLatin1(vantorel::kMessageTextObjectName))->text();
            QTimer::singleShot(0, box, [box] { box->accept(); });
        }
    }
    return false;
}

double WindowDriver::time(const std::function<void()>& action)
{
    m_messageShownAt = -1;
    m_clock.start();
    action();
    const double returned = double(m_clock.nsecsElapsed()) / 1e6;
    return m_messageShownAt >= 0 ? m_messageShownAt : returned;
}

QStringList WindowDriver::takeMessages()
{
    return std::exchange(m_messages, {});
}

QWidget* WindowDriver::find(QWidget* parent, const char* name)
{
    auto* widget = parent->findChild<QWidget*>(QString::fromLatin1(name));
    if (!widget)
        throw std::runtime_error(std::string("no control ") + name);
    return widget;
}

void WindowDriver::type(QWidget* window, const char* box, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(find(window, box));
    if (!edit)
        throw std::runtime_error(std::string(box) + " is not a text box");
    edit->setText(text);
}

void WindowDriver::choose(QWidget* window, const char* combo, const QString& text)
{
    auto* box = qobject_cast<QComboBox*>(find(window, combo));
    if (!box)
        throw std::runtime_error(std::string(combo) + " is not a combo box");
    box->setEditText(text);
}

void WindowDriver::tick(QWidget* window, const char* checkBox, bool ticked)
{
    auto* box = qobject_cast<QCheckBox*>(find(window, checkBox));
    if (!box)
        throw std::runtime_error(std::string(checkBox) + " is not a check box");
    box->setChecked(ticked);
}

void WindowDriver::click(QWidget* window, const char* button)
{
    auto* target = qobject_cast<QAbstractButton*>(find(window, button));
    if (!target)
        throw std::runtime_error(std::string(button) + " is not a button");
    target->click();
}

void WindowDriver::settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace bench
