#pragma once
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace vt {

// A read-only view of the registry that Wine keeps for this user, so that mail
// programs run under Wine can be found. Wine stores the current user's branch
// in "user.reg" and the machine's in "system.reg" of its prefix, in its own
// text format. HKEY_CLASSES_ROOT is the merge of "Software\Classes" of both,
// the user's entries first.
//
// No prefix, a missing file or a file that is not a Wine registry file: the
// registry finds nothing. Key and value names match without regard to case.

// The Wine prefix in use: the one set with setWinePrefix, else $WINEPREFIX,
// else ~/.wine (where Wine itself looks).
QString WinePrefix();
// Points the registry at another prefix (tests); empty restores the default.
void setWinePrefix(const QString& dir);

enum class RegistryRoot { CurrentUser, LocalMachine, ClassesRoot };

namespace detail {
struct RegistryHive;
}

class RegistryKey {
public:
    RegistryKey() = default; // a key that is not open

    bool isOpen() const { return !m_parts.empty(); }
    explicit operator bool() const { return isOpen(); }

    // A key below this one; not open when it does not exist.
    RegistryKey open(const QString& path) const;

    // A value of string type (REG_SZ or REG_EXPAND_SZ, unexpanded) by name; the
    // empty name is the key's default value. nullopt when the key is not open,
    // the value is missing or it is of another type.
    std::optional<QString> stringValue(const QString& name) const;

private:
    friend RegistryKey OpenRegistryKey(RegistryRoot, const QString&);
    struct Part {
        std::shared_ptr<const detail::RegistryHive> hive;
        QString path; // case-folded, components joined by "\"
    };
    std::vector<Part> m_parts; // in precedence order
};

// Opens a key by its path below root ("Software\Microsoft\..."); the result is
// not open when the key does not exist.
RegistryKey OpenRegistryKey(RegistryRoot root, const QString& path);

// The file that a Windows path ("C:\Program Files\App\App.ini") names inside
// the Wine prefix, through its drive mappings (dosdevices). Each folder and
// the file are looked up without regard to case, as Windows programs expect;
// a part that is not found is kept as written. Empty when the path has no
// drive letter or the drive is not mapped.
QString WinePathToUnix(const QString& windowsPath);

} // namespace vt
