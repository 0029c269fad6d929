#pragma once
// The hosts and users a macro connects to, read from its lines in the forms
// of the built-in templates and of a jump host's shell:
//
//   connect '<host>:23 /nossh'            host (a port after ":" is dropped)
//   connect '<host> /ssh /2 /user=<u>'    host and user
//   _constr='<host> /ssh /auth=password /user='  ...  connect _constr
//                                         the variable's last literal
//   connect '/C=3'                        host "COM3" (a serial line)
//   wait 'ogin:'  then  sendln '<user>'   user (after a login or user name prompt)
//   sendln 'ssh -l <u> <host>', 'ssh <u>@<host>', 'telnet <host> 23'
//                                         host and user of a command typed on a jump host
//
// Commands in any letter case; comment lines (";") are skipped.
#include <string>
#include <string_view>

namespace varnok {

// Appends each host to `hosts` and each user to `users`, every name followed
// by a line feed. `macro` is the decoded macro text.
void ReadConnectTargets(std::string_view macro, std::string& hosts, std::string& users);

}  // namespace varnok
