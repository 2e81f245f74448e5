#include "tarnreg/cli.h"

namespace tarn::reg {

const char* usageText() {
    return R"(Usage: tarnreg COMMAND ARGUMENTS...

Reads and changes Tarnview's settings: the current user's hive (HKCU) and the machine's hive
(HKLM).

Commands:
  tarnreg query KEY [NAME]
      With NAME, print that value's data alone: text as stored, a dword in decimal, other
      data as hex bytes (01,02,ff). Without NAME, print the key's values (name, type, data)
      and then its subkeys.
  tarnreg set KEY NAME DATA [--type sz|dword|binary]
      Set value NAME of KEY, creating the key when it is missing. The type is sz (text) unless
      given: dword DATA is a number from 0 to 4294967295, decimal or 0x-hex (0x1f); binary
      DATA is hex bytes separated by commas (01,02,ff; "" for none).
  tarnreg delete KEY [NAME]
      Delete value NAME of KEY, or without NAME the key with every key and value below it.
  tarnreg export KEY FILE [--regedit4]
      Write KEY, its values and every key below it to FILE in the registry editor's format:
      "Windows Registry Editor Version 5.00" (UTF-16) unless --regedit4 asks for "REGEDIT4"
      (8-bit text, bytes as stored).
  tarnreg import FILE
      Apply a registry file of either format: [KEY] creates a key, "name"="text",
      "name"=dword:0000001f, "name"=hex:01,02 and "name"=hex(N):.. set values, @ names the
      default value, [-KEY] deletes a key with everything below it, "name"=- deletes a value.
      The whole file is checked first: a file with an error changes nothing, and the error
      names its line.
  tarnreg --help
      Print this help.

KEY starts with HKEY_CURRENT_USER\ or HKCU\ (the hive $XDG_CONFIG_HOME/tarnview/user.hive),
or with HKEY_LOCAL_MACHINE\ or HKLM\ (the hive named by $TARNVIEW_MACHINE_HIVE, else
/var/lib/tarnview/machine.hive), in any letter case. Quote it for the shell: it holds
backslashes. Key and value names ignore letter case. NAME "" is the key's default value,
listed as (Default). Options may stand anywhere after the command; "--" ends them.

Exit status: 0 done; 1 failed (a missing key or value, bad data, a file that can not be read,
written or parsed, or a settings error); 2 wrong command line (this help goes to stderr).

Examples:
  tarnreg query 'HKCU\Software\Kestrow Software\Tarnview\Config' iUserSet
  tarnreg set 'HKCU\Software\Kestrow Software\Tarnview\Config' iUserSet 1
  tarnreg set 'HKLM\Software\Example' Flags 0x1f --type dword
  tarnreg delete 'HKLM\Software\Kestrow Software\Tarnview\Admin\Groups\Guests'
  tarnreg export 'HKLM\Software\Kestrow Software\Tarnview' policy.reg
  tarnreg import policy.reg
)";
}

}  // namespace tarn::reg
