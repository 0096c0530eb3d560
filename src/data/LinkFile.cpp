#include "data/LinkFile.h"

#include "data/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <libpq-fe.h>

#include <algorithm>
#include <memory>

namespace vantorel::data {

namespace {

// A link file is a short line; more than this is not one.
constexpr qint64 kMostBytes = 4096;

bool isUri(const QByteArray& text)
{
    return text.startsWith("postgresql://") || text.startsWith("postgres://");
}

} // namespace

std::optional<QByteArray> linkTarget(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.read(kMostBytes + 1);
    if (!isUri(text))
        return std::nullopt;
    const QByteArray uri = text.trimmed();
    if (text.size() > kMostBytes || uri.contains('\n') || uri.contains('\r'))
        throw StoreError(QStringLiteral("The link file %1 must hold one line: the server's connection URI.")
                             .arg(file.fileName()),
                         QString());
    return uri;
}

void checkLinkTarget(const QByteArray& uri)
{
    if (!isUri(uri))
        throw StoreError(QStringLiteral("A server's connection URI begins with postgresql://."), QString());
    char* error = nullptr;
    const std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(
        PQconninfoParse(uri.constData(), &error), &PQconninfoFree);
    if (!options) {
        const QString reason = error ? QString::fromUtf8(error).trimmed() : QString();
        PQfreemem(error);
        throw StoreError(QStringLiteral("The server's connection URI in Vantorel.mdb cannot be read."), reason);
    }
    for (const PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            throw StoreError(
                QStringLiteral("The server's connection URI in Vantorel.mdb holds a password. Take it out of "
                               "the URI and put it in libpq's password file instead: ~/.pgpass, or the file "
                               "that the PGPASSFILE environment variable names."),
                QString());
    }
}

bool isJetFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A Jet file's first page names its engine after a four-byte mark.
    const QByteArray start = file.read(19);
    return start.startsWith(QByteArrayLiteral("\x00\x01\x00\x00"))
        && (start.mid(4) == "Standard Jet DB" || start.mid(4) == "Standard ACE DB");
}

void refuseJetFile(const QString& path)
{
    if (isJetFile(path))
        throw StoreError(QStringLiteral("%1 is a database of the earlier program. Convert it once, in this folder, "
                                        "with the command:\n\nvantorel-setup --import")
                             .arg(QFileInfo(path).fileName()),
                         QString());
}

namespace {

using Options = std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)>;

Options parsed(const QByteArray& uri)
{
    return Options(PQconninfoParse(uri.constData(), nullptr), &PQconninfoFree);
}

QString valueOf(const Options& options, const char* keyword)
{
    for (const PQconninfoOption* option = options.get(); option && option->keyword; ++option) {
        if (qstrcmp(option->keyword, keyword) == 0)
            return QString::fromUtf8(option->val);
    }
    return {};
}

} // namespace

QByteArray uriAsRole(const QByteArray& uri, const QString& role)
{
    QByteArrayList settings;
    const Options options = parsed(uri);
    for (const PQconninfoOption* option = options.get(); option && option->keyword; ++option) {
        // A setting of commas alone (the ports of several hosts, none given) says nothing.
        const bool says = option->val && QByteArray(option->val).replace(',', "").size() > 0;
        if (says && qstrcmp(option->keyword, "user") != 0)
            settings << QByteArray(option->keyword) + '=' + QUrl::toPercentEncoding(QString::fromUtf8(option->val));
    }
    settings << "user=" + QUrl::toPercentEncoding(role);
    return "postgresql:///?" + settings.join('&');
}

bool verifiesNoServer(const QByteArray& uri)
{
    const Options options = parsed(uri);
    const QStringList hosts = valueOf(options, "host").split(QLatin1Char(','), Qt::SkipEmptyParts);
    const bool onThisMachine = std::all_of(hosts.begin(), hosts.end(), [](const QString& host) {
        const QString name = host.trimmed();
        return name.startsWith(QLatin1Char('/')) || name == QLatin1String("localhost") || name == QLatin1String("127.0.0.1")
            || name == QLatin1String("::1");
    });
    return !onThisMachine && valueOf(options, "sslmode") != QLatin1String("verify-full");
}

QByteArray linkFileText(const QByteArray& uri)
{
    return uri.trimmed() + '\n';
}

} // namespace vantorel::data
