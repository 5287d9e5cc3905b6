#pragma once
// Where each login entry of the <登录> menu opens the login browser: the services'
// login pages in one table, the QQ Zone rule, and 自定义登录 on the program's home
// page, where the user types any site's address into the browser's address field.

#include <QString>

namespace pictrove {

// The page a login command opens; empty for a command that is not a login entry.
// QQ Zone (kCommandLoginQqZone) depends on the owner box: see qZoneLoginAddress.
QString loginAddress(int command);

// QQ Zone: a QQ number typed into the owner box (trimmed, digits only) while the
// sub-type selector shows its first entry opens that user's home page; anything else
// the user-page address itself.
QString qZoneLoginAddress(const QString &ownerText, int subTypeIndex);

}  // namespace pictrove
