#include "properties/macro_templates.h"

#include <algorithm>

namespace varnok::properties {
namespace {

// Templates 5..7 are 2..4 for SSH protocol 2: every "SSH1" reads "SSH2" and
// every " /1" reads " /2".

// 1: "Telnet session"
constexpr std::string_view kTemplate1 =
    "; ******* Varnok Macro Template for Telnet session *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Openning telnet connection using port 23\r\n"
    "connect '<server_name_or_IP_address>:23 /nossh'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode (useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connecting <Server_name_or_site_name>'\r\n"
    "; Another way of assigning title using Varnok key word\r\n"
    "; settitle 'Connecting $connection$'\r\n"
    ";\r\n"
    "; Waiting for Login prompt from remote side\r\n"
    "wait 'ogin:'\r\n"
    ";\r\n"
    "; Sending user name\r\n"
    "sendln '<user_name>'\r\n"
    "; Another way of sending user name using Varnok key word\r\n"
    "; sendln '$user$'\r\n"
    ";\r\n"
    "; Waiting for Password prompt from remote side\r\n"
    "wait 'assword:'\r\n"
    ";\r\n"
    "; Calling Popup window to type in password\r\n"
    "passwordbox 'Enter password' 'Login'\r\n"
    "sendln inputstr\r\n"
    "; Previous 2 lines can be replaced with hardcoded password (not recommended)\r\n"
    "; sendln '<password>'\r\n"
    ";\r\n"
    "; Assigning final title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";\r\n";

// 2: "SSH1 session"
constexpr std::string_view kTemplate2 =
    "; ******* Varnok Macro Template for SSH1 session *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Openning SSH1 connection using port 22.\r\n"
    "; User will be prompted for username and password\r\n"
    "connect '<server_name_or_IP_address> /ssh /1'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode(useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";

// 3: "SSH1 session with credentials"
constexpr std::string_view kTemplate3 =
    "; ******* Varnok Macro Template for SSH1 session with credentials *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Calling Popup window to get username\r\n"
    "inputbox 'Enter username' 'Login'\r\n"
    "; Assigning the value entered by user to variable _user\r\n"
    "_user=inputstr\r\n"
    "; Calling Popup window to get password\r\n"
    "passwordbox 'Enter password' 'Login'\r\n"
    "; Building connection string\r\n"
    "_constr='<server_name_or_IP_address> /ssh /1 /auth=password /user='\r\n"
    "strconcat _constr _user\r\n"
    "strconcat _constr ' /passwd='\r\n"
    "strconcat _constr inputstr\r\n"
    "; Openning SSH1 conection\r\n"
    "connect _constr\r\n"
    "; Alternative way with hardcoded username and password (not recommended)\r\n"
    "; The following line replaces lines 5..17\r\n"
    "; connect '<server_name_or_IP_address> /ssh /1 /auth=password /user=<username> /passwd=<password>'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode (useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";

// 4: "SSH1 session with public key"
constexpr std::string_view kTemplate4 =
    "; ******* Varnok Macro Template for SSH1 session with public key *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Building connection string\r\n"
    "_constr='<server_name_or_IP_address> /ssh /1 /auth=publickey /user='\r\n"
    "; Calling Popup window to get username\r\n"
    "inputbox 'Enter username' 'Login'\r\n"
    "strconcat _constr inputstr\r\n"
    "strconcat _constr ' /passwd='\r\n"
    "; Calling Popup window to get password\r\n"
    "passwordbox 'Enter password' 'Login'\r\n"
    "strconcat _constr inputstr\r\n"
    "strconcat _constr ' /keyfile='\r\n"
    "; Calling Popup window to get key file name\r\n"
    "inputbox 'Key file' 'Login'\r\n"
    "strconcat _constr inputstr\r\n"
    "; Openning SSH1 conection\r\n"
    "connect _constr\r\n"
    "; Alternative way with hardcoded username and password (not recommended)\r\n"
    "; The following line replaces lines 5..19\r\n"
    "; connect '<server_name_or_IP_address> /ssh /1 /auth=keyfile /user=<username> /passwd=<password> "
    "/keyfile=<private-key-file>'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode (useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";

// 5: "SSH2 session"
constexpr std::string_view kTemplate5 =
    "; ******* Varnok Macro Template for SSH2 session *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Openning SSH2 connection using port 22.\r\n"
    "; User will be prompted for username and password\r\n"
    "connect '<server_name_or_IP_address> /ssh /2'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode(useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";

// 6: "SSH2 session with credentials"
constexpr std::string_view kTemplate6 =
    "; ******* Varnok Macro Template for SSH2 session with credentials *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Calling Popup window to get username\r\n"
    "inputbox 'Enter username' 'Login'\r\n"
    "; Assigning the value entered by user to variable _user\r\n"
    "_user=inputstr\r\n"
    "; Calling Popup window to get password\r\n"
    "passwordbox 'Enter password' 'Login'\r\n"
    "; Building connection string\r\n"
    "_constr='<server_name_or_IP_address> /ssh /2 /auth=password /user='\r\n"
    "strconcat _constr _user\r\n"
    "strconcat _constr ' /passwd='\r\n"
    "strconcat _constr inputstr\r\n"
    "; Openning SSH2 conection\r\n"
    "connect _constr\r\n"
    "; Alternative way with hardcoded username and password (not recommended)\r\n"
    "; The following line replaces lines 5..17\r\n"
    "; connect '<server_name_or_IP_address> /ssh /2 /auth=password /user=<username> /passwd=<password>'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode (useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";

// 7: "SSH2 session with public key"
constexpr std::string_view kTemplate7 =
    "; ******* Varnok Macro Template for SSH2 session with public key *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Building connection string\r\n"
    "_constr='<server_name_or_IP_address> /ssh /2 /auth=publickey /user='\r\n"
    "; Calling Popup window to get username\r\n"
    "inputbox 'Enter username' 'Login'\r\n"
    "strconcat _constr inputstr\r\n"
    "strconcat _constr ' /passwd='\r\n"
    "; Calling Popup window to get password\r\n"
    "passwordbox 'Enter password' 'Login'\r\n"
    "strconcat _constr inputstr\r\n"
    "strconcat _constr ' /keyfile='\r\n"
    "; Calling Popup window to get key file name\r\n"
    "inputbox 'Key file' 'Login'\r\n"
    "strconcat _constr inputstr\r\n"
    "; Openning SSH2 conection\r\n"
    "connect _constr\r\n"
    "; Alternative way with hardcoded username and password (not recommended)\r\n"
    "; The following line replaces lines 5..19\r\n"
    "; connect '<server_name_or_IP_address> /ssh /2 /auth=keyfile /user=<username> /passwd=<password> "
    "/keyfile=<private-key-file>'\r\n"
    ";\r\n"
    "; Entering synchronous communication mode (useful in most cases)\r\n"
    "setsync 1\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";

// 8: "Serial connection"
constexpr std::string_view kTemplate8 =
    "; ******* Varnok Macro Template for Serial connection *******\r\n"
    "; Substitute words inside angle brackets with corresponding values\r\n"
    "; and delete angle brackets.\r\n"
    ";\r\n"
    "; Openning Serial connection using COM port.\r\n"
    "; Valid value for port number is 1..6.\r\n"
    "connect '/C=<port_number>'\r\n"
    ";\r\n"
    "; If COM port is connected to modem the following lines can be used\r\n"
    "; sendln 'ATZ'\r\n"
    "; wait 'OK'\r\n"
    "; ATDT<phone number>\r\n"
    ";\r\n"
    "; Assigning new title to Corvane window\r\n"
    "settitle 'Connected to <Server_name_or_site_name>'\r\n"
    ";";
constexpr std::array<MacroTemplate, kMacroTemplateCount> kTemplates = {{
    {1, "Telnet session", kTemplate1, true},
    {2, "SSH1 session", kTemplate2, false},
    {3, "SSH1 session with credentials", kTemplate3, false},
    {4, "SSH1 session with public key", kTemplate4, true},
    {5, "SSH2 session", kTemplate5, false},
    {6, "SSH2 session with credentials", kTemplate6, false},
    {7, "SSH2 session with public key", kTemplate7, true},
    {8, "Serial connection", kTemplate8, false},
}};

constexpr std::string_view kLineBreak = "\r\n";

}  // namespace

const std::array<MacroTemplate, kMacroTemplateCount>& MacroTemplates() { return kTemplates; }

std::string_view MacroTemplateText(int tag) {
  if (tag < 1 || tag > kMacroTemplateCount) return {};
  return kTemplates[static_cast<std::size_t>(tag - 1)].text;
}

std::string InsertMacroTemplate(std::string_view text, std::size_t selection_start,
                                std::size_t selection_length, bool caret_in_first_column,
                                std::string_view templ) {
  std::size_t start = std::min(selection_start, text.size());
  std::size_t length = std::min(selection_length, text.size() - start);
  std::string result;
  result.reserve(text.size() + templ.size() + 2 * kLineBreak.size());
  result += text.substr(0, start);
  if (!caret_in_first_column) result += kLineBreak;
  result += templ;
  result += kLineBreak;
  result += text.substr(start + length);
  return result;
}

}  // namespace varnok::properties
