#pragma once
// The two registrations offered on the settings page: starting the companion
// at log-on, and the association of the .VNK extension with the editor.
// On POSIX desktops: an XDG autostart entry "Varnok.desktop", and a
// freedesktop MIME type for *.vnk with the editor's desktop entry as its
// default application (what xdg-mime install/default would write).
#include <string>

namespace varnok::platform {

// Whether the companion at `companionPath` is started at log-on (the entry
// names exactly that path; letter case counts).
bool IsRunAtLogOn(const std::string& companionPath);
// Registers (on) or removes (off) the log-on start. Returns an error text,
// empty on success.
std::string SetRunAtLogOn(bool on, const std::string& companionPath);

// Whether .VNK files open with the editor at `editorPath`.
bool IsVnkAssociated(const std::string& editorPath);
// Associates .VNK with the editor (`title` names the type: "Varnokc", whose
// description is title + " Varnok File"), or removes the association,
// putting back an association it replaced. Returns an error text, empty on success.
std::string SetVnkAssociation(bool on, const std::string& editorPath, const std::string& title);

}  // namespace varnok::platform
