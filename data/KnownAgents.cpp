#include "data/KnownAgents.h"

#include "data/ShownPath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSettings>

namespace {

const QString Folders = QStringLiteral("carpetas");
const QString Last = QStringLiteral("ultima");
// How many folders the list held when last written.
const QString Listed = QStringLiteral("agentes/listados");

QString normalised(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

} // namespace

KnownAgents::KnownAgents(QString listFile, QString firstFolder, QSettings& settings)
    : listFile_(std::move(listFile)), first_(std::move(firstFolder)), settings_(settings) {}

QString KnownAgents::load() {
    added_.clear();
    last_.clear();
    const int listed = settings_.value(Listed, 0).toInt();
    QFile file(listFile_);
    QString why;
    if (!file.exists()) {
        if (listed == 0)
            return QString();
        why = QStringLiteral("ya no está");
    } else if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
    } else {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
        file.close();
        if (error.error == QJsonParseError::NoError && doc.isObject() &&
            doc.object().value(Folders).isArray()) {
            for (const QJsonValue& v : doc.object().value(Folders).toArray())
                if (const QString f = v.toString(); !f.isEmpty() && !contains(f))
                    added_ << f;
            last_ = doc.object().value(Last).toString();
            return QString();
        }
        why = QStringLiteral("está dañada");
        // Kept for whoever wants to look; a new list starts empty.
        const QString aside = listFile_ + QStringLiteral(".dañada");
        QFile::remove(aside);
        QFile::rename(listFile_, aside);
    }
    settings_.setValue(Listed, 0);
    return QStringLiteral(
               "La lista de agentes de KESTRO (%1) %2. KESTRO abre la carpeta de "
               "datos de siempre, %3; las carpetas de los demás agentes no se "
               "tocaron y puede agregarlas otra vez con \"Agregar carpeta "
               "existente\" en la lista de agentes (\"Agentes de KESTRO 3.5\" en el menú "
               "Inicio de Windows, o kestro --agentes).")
        .arg(shownPath(listFile_), why, shownPath(first_));
}

QStringList KnownAgents::folders() const {
    return QStringList{first_} + added_;
}

QString KnownAgents::last() const {
    for (const QString& f : folders())
        if (sameFolder(f, last_))
            return f;
    return first_;
}

bool KnownAgents::contains(const QString& folder) const {
    for (const QString& f : folders())
        if (sameFolder(f, folder))
            return true;
    return false;
}

bool KnownAgents::sameFolder(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
#if defined(Q_OS_WIN)
    return normalised(a).compare(normalised(b), Qt::CaseInsensitive) == 0;
#else
    return normalised(a) == normalised(b);
#endif
}

MaybeError KnownAgents::add(const QString& folder) {
    if (contains(folder))
        return std::nullopt;
    return save(added_ + QStringList{QDir::cleanPath(QFileInfo(folder).absoluteFilePath())}, last_);
}

MaybeError KnownAgents::remove(const QString& folder) {
    QStringList kept;
    for (const QString& f : added_)
        if (!sameFolder(f, folder))
            kept << f;
    return save(kept, sameFolder(folder, last_) ? first_ : last_);
}

MaybeError KnownAgents::setLast(const QString& folder) {
    if (sameFolder(folder, last()) && !last_.isEmpty())
        return std::nullopt;
    return save(added_, folder);
}

QString KnownAgents::keyFolderSetting(const QString& folder) const {
    const QString remembered = QStringLiteral("llave/carpeta");
    if (sameFolder(folder, first_))
        return remembered;
    return remembered + QLatin1Char('-') +
           QString::fromLatin1(
               QCryptographicHash::hash(normalised(folder).toUtf8(), QCryptographicHash::Sha1)
                   .toHex()
                   .left(16));
}

MaybeError KnownAgents::save(const QStringList& added, const QString& last) {
    QJsonObject o;
    o.insert(Folders, QJsonArray::fromStringList(added));
    o.insert(Last, last);
    QDir().mkpath(QFileInfo(listFile_).path());
    QSaveFile file(listFile_);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(o).toJson()) < 0 ||
        !file.commit())
        return DbError::refused(QStringLiteral("No se pudo guardar la lista de agentes %1: %2.")
                                    .arg(shownPath(listFile_), file.errorString()));
    added_ = added;
    last_ = last;
    settings_.setValue(Listed, added.size());
    return std::nullopt;
}
