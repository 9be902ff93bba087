#pragma once

#include "widgets/windowcontrols.h"

#include <QStringList>
#include <QWidget>

// A bare window for page tests: it records what the pages ask of it.
class RecordingWindow : public QWidget, public nk::WindowControls
{
public:
    RecordingWindow() { resize(779, 383); }

    void EnablePartButtons() override { calls << QStringLiteral("EnablePartButtons"); }
    void DisableMenu() override { calls << QStringLiteral("DisableMenu"); }
    void EnableMenu() override { calls << QStringLiteral("EnableMenu"); }
    void DisableAllControls() override { calls << QStringLiteral("DisableAllControls"); }
    void EnableAllControls() override { calls << QStringLiteral("EnableAllControls"); }
    bool KeyboardIsShown() const override { return false; }
    void SlideKeyboard() override { calls << QStringLiteral("SlideKeyboard"); }
    void minimizeToTray() override { calls << QStringLiteral("minimizeToTray"); }
    void restoreFromTray() override { calls << QStringLiteral("restoreFromTray"); }

    QStringList calls;
};
