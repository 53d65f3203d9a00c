// Stand-ins for the desktop contacts of the user interface: a DesktopServices that counts
// beeps, records information boxes and About requests and answers the file choosers from
// prepared answers, and a MoveBroadcast that records what is announced. Nothing here waits.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QWidget>

#include "ui/desktop_services.h"
#include "ui/move_broadcast.h"

namespace wintarvo::testing {

class FakeDesktop : public DesktopServices {
  public:
    struct Message {
        QWidget* owner;
        QString text;
        QString caption;
    };

    void beep() override { ++beeps; }
    void showInformation(QWidget* owner, const QString& text, const QString& caption) override {
        messages.push_back({owner, text, caption});
        if (onInformation) onInformation();
    }
    std::optional<std::string> chooseFileToOpen(QWidget*) override {
        ++openRequests;
        return openAnswer;
    }
    std::optional<SaveChoice> chooseFileToSave(QWidget*) override {
        ++saveRequests;
        if (!saveAnswer) return std::nullopt;
        return SaveChoice{*saveAnswer, saveFilter};
    }
    void showAbout(QWidget* owner) override {
        ++aboutRequests;
        aboutOwner = owner;
        if (onAbout) onAbout();
    }

    int beeps = 0;
    std::vector<Message> messages;
    std::function<void()> onInformation;    // called while the box would be open
    std::optional<std::string> openAnswer;  // nothing: the user cancels
    std::optional<std::string> saveAnswer;
    GameFileFormat saveFilter = GameFileFormat::Record;  // the filter left selected
    int openRequests = 0;
    int saveRequests = 0;
    int aboutRequests = 0;
    QWidget* aboutOwner = nullptr;
    std::function<void()> onAbout;
};

class RecordingBroadcast : public MoveBroadcast {
  public:
    void post(std::uint32_t packedMove) override { posted.push_back(packedMove); }
    void listen(QObject*) override {}
    void stopListening(QObject*) override {}

    std::vector<std::uint32_t> posted;
};

}  // namespace wintarvo::testing
