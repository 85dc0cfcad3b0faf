#pragma once
// The controls of the analysis window that the workbench tools work on. The window fills this in and
// hands it to WorkbenchTools; a null control simply has no tool connected.

#include "platform/text/TextCodec.h"
#include "workbench/SourceFacts.h"

#include <QString>

#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;
class TextPane;

struct WorkbenchControls {
    QWidget *window = nullptr; // parent for dialogs
    TextPane *RtbOld = nullptr, *RtbNew = nullptr, *RtbDown = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text5 = nullptr;
    QComboBox *Combo1 = nullptr;
    QAbstractButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                    *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr,
                    *Command9 = nullptr;
    QCheckBox *Check1 = nullptr, *Check2 = nullptr;
    // The window's source as its document records it now: path, encoding, save header.
    std::function<SourceFacts()> source;
    // "重新打开" has read the source file again, as `readAs`; none when it could not be read.
    std::function<void(const std::optional<TextCodec::Encoding> &readAs)> sourceReloaded;
};
