// Fuzz target settings_key: the settings as the window loads them at start-up, from a
// machine-wide file (the input's leading field) and the user's own file (the rest), with any
// content. The texts that load are then saved into a new user's file, which must read back the
// same.
#include <fcntl.h>
#include <sys/stat.h>

#include <QBuffer>
#include <QString>
#include <cstdint>
#include <fstream>
#include <string>

#include "app/core/IntegerConversionError.h"
#include "app/core/PlainIniFormat.h"
#include "app/core/SettingsKey.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/ScratchFolder.h"

namespace {

using namespace kiv;

const char* const kNames[] = {"radyono", "sifre", "hatirla", "Top", "Left"};
constexpr std::size_t kCount = std::size(kNames);

// The settings library keeps the files it has read (and written) and reads one again only when
// its size or time changed: every file gets a time of its own, so that each load reads the disk.
QString Touched(const std::string& file) {
    static long long stamp = 1000000000;
    ++stamp;
    const timespec times[2] = {{stamp, 0}, {stamp, 0}};
    fuzz::Check(utimensat(AT_FDCWD, file.c_str(), times, 0) == 0, "the file takes a new time");
    return QString::fromStdString(file);
}

QString Stored(const std::string& file, const std::string& bytes) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        fuzz::Check(out.good(), "the settings file can be written");
    }
    return Touched(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string machine = fuzz::ScratchFolder::Path() + "/Machine.ini";
    static const std::string user = fuzz::ScratchFolder::Path() + "/User.ini";
    static const std::string saved = fuzz::ScratchFolder::Path() + "/Saved.ini";
    static const std::string none = fuzz::ScratchFolder::Path() + "/None.ini";
    fuzz::FuzzInput input(data, size);
    const std::string machineBytes = input.Field();
    const std::string userBytes = input.Rest();

    QString texts[kCount];
    {
        const SettingsKey key(Stored(user, userBytes), Stored(machine, machineBytes));
        if (!key.ReadError().isEmpty() || !key.Exists()) return 0;
        for (std::size_t i = 0; i < kCount; ++i) {
            const QString name = QString::fromLatin1(kNames[i]);
            texts[i] = key.ReadText(name);
            try {
                key.ReadInteger(name);
            } catch (const IntegerConversionError&) {
                // Shown by the exception display; the window goes on.
            }
        }
    }

    // Escapes may make the texts of a file near the size limit too long to be written back.
    QSettings::SettingsMap map;
    for (std::size_t i = 0; i < kCount; ++i)
        map.insert(QStringLiteral("SOFTWARE/Pulm/Kiv/") + QLatin1String(kNames[i]), texts[i]);
    QBuffer probe;
    probe.open(QIODevice::WriteOnly);
    const bool fits = PlainIniFormat::Write(probe, map);

    const QString savedPath = Stored(saved, {});
    const QString nonePath = QString::fromStdString(none);
    {
        SettingsKey key(savedPath, nonePath);
        for (std::size_t i = 0; i < kCount; ++i)
            key.WriteText(QString::fromLatin1(kNames[i]), texts[i]);
        fuzz::Check(key.Commit() == fits, "any text that loads and fits the limit can be saved");
    }
    if (!fits) return 0;
    const SettingsKey again(Touched(saved), nonePath);
    fuzz::Check(again.ReadError().isEmpty() && again.Exists(), "a saved file loads");
    for (std::size_t i = 0; i < kCount; ++i)
        fuzz::Check(again.ReadText(QString::fromLatin1(kNames[i])) == texts[i],
                    std::string("the value ") + kNames[i] + " loads as it was saved");
    return 0;
}
