// The layer tests' own resources: a dialog, a picture and an icon.
#pragma once

#include <QImage>

#include "platform/Types.h"

namespace testres {

inline constexpr platform::UINT kDialog = 7000;
inline constexpr platform::UINT kPicture = 7001;
inline constexpr platform::UINT kIcon = 7002;
inline constexpr platform::UINT kString = 7003;
inline constexpr platform::UINT kEvenDialog = 7004;  // 636 x 442 pixels, one button

inline constexpr int kGo = 300;           // default push button
inline constexpr int kOther = 301;        // push button
inline constexpr int kDisabled = 302;     // disabled push button
inline constexpr int kServed = 0x8001;    // a command the application serves
inline constexpr int kUnserved = 0x8002;  // a command nobody serves
inline constexpr int kLabel = 303;

// The dialog's title, with an ampersand shown as is.
inline constexpr const char* kTitle = "Test & layer   dialog ";

// The picture painted by the test dialog (637 x 454, every pixel distinct
// from its neighbours).
const QImage& Picture();

// Installs the resources; call before any dialog is built.
void Install();

}  // namespace testres
