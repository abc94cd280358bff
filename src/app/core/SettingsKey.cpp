#include "app/core/SettingsKey.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "app/core/IntegerConversionError.h"
#include "app/core/PlainIniFormat.h"

namespace kiv {

namespace {

constexpr char kGroup[] = "SOFTWARE/Pulm/Kiv";
constexpr char kFileInFolder[] = "/Pulm/Kiv.ini";
constexpr char kPasswordValue[] = "sifre";

// folder and whatever of its parents is missing, each made readable by the user alone.
bool MakePrivateFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    if (info.exists() || info.isSymLink() || info.isRoot()) return false;
    return MakePrivateFolder(info.absolutePath()) &&
           QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Leaves a regular file of mode 600 in path, empty when there was none, so that the atomic
// replace that follows keeps that mode. Refuses a symbolic link, which would have the write land
// in the file it points to, and anything else but a regular file.
bool PreparePrivateFile(const QString& path) {
    if (!MakePrivateFolder(QFileInfo(path).absolutePath())) return false;
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) return false;
    struct stat status = {};
    const bool prepared = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                          ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    ::close(fd);
    return prepared;
}

}  // namespace

SettingsKey::SettingsKey(const QString& userFile, const QString& machineFile)
    : userFile_(userFile),
      user_(userFile, PlainIniFormat::Format()),
      machine_(machineFile, PlainIniFormat::Format()) {}

QString SettingsKey::UserFile() {
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(folder)) folder = QDir::homePath() + QStringLiteral("/.config");
    return folder + QLatin1String(kFileInFolder);
}

QString SettingsKey::MachineFile() {
    const QStringList folders = qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':');
    for (const QString& folder : folders)
        if (QDir::isAbsolutePath(folder)) return folder + QLatin1String(kFileInFolder);
    return QStringLiteral("/etc/xdg") + QLatin1String(kFileInFolder);
}

QString SettingsKey::ReadError() const {
    if (user_.status() == QSettings::NoError) return {};
    return QStringLiteral("The settings in '%1' cannot be read").arg(user_.fileName());
}

bool SettingsKey::Exists() const {
    return HasGroup(user_) || HasGroup(machine_);
}

bool SettingsKey::Create(int top, int left) {
    WriteText(QStringLiteral("radyono"), QStringLiteral("1"));
    WriteText(QLatin1String(kPasswordValue), QLatin1String(kNewKeyPassword));
    WriteText(QStringLiteral("hatirla"), QStringLiteral("-1"));
    WriteText(QStringLiteral("Top"), QString::number(top));
    WriteText(QStringLiteral("Left"), QString::number(left));
    return Commit();
}

QString SettingsKey::ReadText(const QString& name) const {
    if (user_.contains(Path(name)) || name == QLatin1String(kPasswordValue))
        return Value(user_, name);
    return Value(machine_, name);
}

int SettingsKey::ReadInteger(const QString& name) const {
    const QString text = ReadText(name);
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok) throw IntegerConversionError(text);
    return number;
}

void SettingsKey::WriteText(const QString& name, const QString& value) {
    pending_.emplace_back(name, value);
}

bool SettingsKey::Commit() {
    // Checked before any value reaches user_: QSettings writes what it holds when destroyed.
    if (!PreparePrivateFile(userFile_)) return false;
    for (const auto& [name, value] : pending_)
        user_.setValue(Path(name), value);
    pending_.clear();
    // QSettings writes a temporary file beside the old one, with the old one's mode, and renames
    // it into place.
    user_.sync();
    return user_.status() == QSettings::NoError;
}

QString SettingsKey::Path(const QString& name) {
    return QLatin1String(kGroup) + u'/' + name;
}

QString SettingsKey::Value(const QSettings& settings, const QString& name) {
    return settings.value(Path(name)).toString();
}

bool SettingsKey::HasGroup(const QSettings& settings) {
    for (const QString& key : settings.allKeys())
        if (key.startsWith(QLatin1String(kGroup) + u'/')) return true;
    return false;
}

}  // namespace kiv
