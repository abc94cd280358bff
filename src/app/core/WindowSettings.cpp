#include "app/core/WindowSettings.h"

#include <utility>

#include "app/core/SettingsKey.h"
#include "app/core/ShownText.h"
#include "messages/MessageCatalogue.h"

namespace kiv {

WindowSettings::Opening WindowSettings::Open(SettingsKey& key, QPoint at) const {
    if (const QString error = key.ReadError(); !error.isEmpty()) {
        ui_.ShowMessage(error);
        return Opening::Failed;
    }
    if (key.Exists()) return Opening::Open;
    if (!key.Create(at.y(), at.x())) {
        ui_.ShowMessage(QLatin1String(WindowText(Message::CantCreateKey)));
        return Opening::Failed;
    }
    return Opening::Created;
}

WindowSettings::Loaded WindowSettings::Load(QPoint at) {
    Loaded loaded;
    SettingsKey key(userFile_, machineFile_);
    unreadableAtStart_ = !key.ReadError().isEmpty();
    const Opening opening = Open(key, at);
    loaded.keyCreated = opening == Opening::Created;
    if (opening != Opening::Open) return loaded;
    WindowSettingsValues& values = loaded.values;
    try {
        values.mode = key.ReadInteger(QStringLiteral("radyono"));
        values.password = key.ReadText(QStringLiteral("sifre"));
        values.remember = key.ReadInteger(QStringLiteral("hatirla"));
        values.top = key.ReadInteger(QStringLiteral("Top"));
        values.left = key.ReadInteger(QStringLiteral("Left"));
    } catch (...) {
        loaded.stoppedBy = std::current_exception();
    }
    return loaded;
}

bool WindowSettings::Save(const WindowSettingsState& state) {
    if (unreadableAtStart_) {
        if (!std::exchange(toldUnreadable_, true))
            ui_.Note(QStringLiteral("the settings in '%1' could not be read at start and are left "
                                    "as they are: mend or remove the file")
                         .arg(userFile_));
        return false;
    }
    SettingsKey key(userFile_, machineFile_);
    const Opening opening = Open(key, state.at);
    if (opening != Opening::Open) return opening == Opening::Created;
    key.WriteText(QStringLiteral("radyono"), QString::number(state.mode));
    // Unchecking "Remember me" is asking to be forgotten: the plain-text password goes.
    key.WriteText(QStringLiteral("sifre"),
                  state.remember ? state.password : QLatin1String(SettingsKey::kNewKeyPassword));
    key.WriteText(QStringLiteral("hatirla"),
                  state.remember ? QStringLiteral("1") : QStringLiteral("-1"));
    // A made-up position would replace the one kept from sessions that know it.
    if (state.positionKnown) {
        key.WriteText(QStringLiteral("Top"), QString::number(state.at.y()));
        key.WriteText(QStringLiteral("Left"), QString::number(state.at.x()));
    }
    if (!key.Commit())
        ui_.ShowMessage(ShownText(WindowText(Message::StoreWriteFailed)).arg(u"radyono"));
    return false;
}

}  // namespace kiv
