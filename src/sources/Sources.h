#pragma once
// The table of sources: every service the program can list, in the order their claims
// on an owner address are asked.

#include "sources/Source.h"

#include <QList>
#include <QString>

namespace pictrove {

const QList<const Source *> &builtInSources();

// The first of `sources` that claims `address`; null when none does.
const Source *sourceFor(const QList<const Source *> &sources, const QString &address);

}  // namespace pictrove
