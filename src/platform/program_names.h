#pragma once
// Names by which the editor, the companion, the emulator and vnk find each
// other: registered messages, process markers and program files. They are
// external: other programs use the same names, so they never change.
namespace varnok::platform {

// Registered messages (broadcast to every listening program of the user).
// To the editor: come to the front and offer a handed-over file ("ParamName").
inline constexpr const char* kEditorMessage = "VarnokcMessage";
// To the editor: close (the companion shuts down or updates).
inline constexpr const char* kEditorStopMessage = "VarnokcStopMessage";
// To the companion: re-read the settings and the configuration file.
inline constexpr const char* kCompanionReloadMessage = "VarnokRRMessage";

// Process markers, held while a program runs.
inline constexpr const char* kEditorMarker = "VarnokcSemaphore";
inline constexpr const char* kCompanionMarker = "VarnokSemaphore";

// Program files in the program directory, and the editor's own name as the
// start-up check compares it (the upper-cased file name).
#ifdef _WIN32
inline constexpr const char* kEditorFile = "Varnokc.exe";
inline constexpr const char* kEditorCheckName = "VARNOKC.EXE";
inline constexpr const char* kCompanionFile = "Varnok.exe";
inline constexpr const char* kEmulatorFile = "corvmain.exe";
#else
inline constexpr const char* kEditorFile = "varnokc";
inline constexpr const char* kEditorCheckName = "VARNOKC";
inline constexpr const char* kCompanionFile = "varnok";
inline constexpr const char* kEmulatorFile = "corvmain";
#endif
// The emulator's settings file beside it.
inline constexpr const char* kEmulatorSettingsFile = "corvane.ini";

}  // namespace varnok::platform
