#pragma once
// The texts the user sees from the TV-card plug-in.

namespace vexa::tunerbox {

inline constexpr const char* kCaption = "Tunerbox Receiver Device (tunerbox.dll)";
inline constexpr const char* kDriverFailedText =
    "Could not load or initialize driver.\nMake sure you have the appropriate access rights to start a driver.\n"
    "Contact your system administrator.";
inline constexpr const char* kMicrocontrollerStatus = "Hauppauge WinTV detected.";
inline constexpr const char* kConfiguredStatus = "TV hardware is configured.";
inline constexpr const char* kRunWizardStatus = "Run setup wizard to configure your TV card.";
inline constexpr const char* kLearnHint =
    "Please enter a name for the button, point your remote control to the receiver and press a button until the "
    "progress bar is full.\n\nThe progress bar will indicate if signals were received from the remote control.";
inline constexpr const char* kNotInitialisedText =
    "TV card not initialized.\nRun the setup wizard or click Initialize first.";

}  // namespace vexa::tunerbox
