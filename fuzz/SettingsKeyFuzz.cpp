// Fuzz target settings_key: the settings file as the window loads it at start-up, with any
// content. Each value that reads is written back and must read the same afterwards.
#include <fcntl.h>
#include <sys/stat.h>

#include <QString>
#include <cstdint>
#include <fstream>

#include "app/IntegerConversionError.h"
#include "app/SettingsKey.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchFolder.h"

namespace {

const char* const kNames[] = {"radyono", "sifre", "hatirla", "Top", "Left"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kiv;
    // One file for every input, each given a time stamp of its own: the settings library
    // keeps the files it has read and reads one again only when its size or time changed.
    static const std::string file = fuzz::ScratchFolder::Path() + "/Kiv.ini";
    static long long stamp = 1000000000;
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        fuzz::Check(out.good(), "the settings file can be written");
    }
    const timespec times[2] = {{++stamp, 0}, {stamp, 0}};
    fuzz::Check(utimensat(AT_FDCWD, file.c_str(), times, 0) == 0, "the file takes a new time");
    const QString path = QString::fromStdString(file);

    QString texts[std::size(kNames)];
    bool readable = false;
    {
        SettingsKey key(path);
        readable = key.ReadError().isEmpty() && key.Exists();
        for (std::size_t i = 0; readable && i < std::size(kNames); ++i) {
            const QString name = QString::fromLatin1(kNames[i]);
            texts[i] = key.ReadText(name);
            try {
                key.ReadInteger(name);
            } catch (const IntegerConversionError&) {
                // Shown by the exception display; the window goes on.
            }
        }
        if (readable) {
            for (std::size_t i = 0; i < std::size(kNames); ++i)
                key.WriteText(QString::fromLatin1(kNames[i]), texts[i]);
            fuzz::Check(key.Commit(), "values read can be written back");
        }
    }
    if (readable) {
        const SettingsKey again(path);
        fuzz::Check(again.ReadError().isEmpty(), "a file the settings wrote reads again");
        for (std::size_t i = 0; i < std::size(kNames); ++i)
            fuzz::Check(again.ReadText(QString::fromLatin1(kNames[i])) == texts[i],
                        std::string("the value ") + kNames[i] + " reads as it was written");
    }
    return 0;
}
