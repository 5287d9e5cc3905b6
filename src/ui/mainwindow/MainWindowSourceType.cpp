// The source-type selector and the QQ sub-type selector, moved by the owner address.
#include "ui/mainwindow/MainWindow.h"

#include "sources/AddressClassifier.h"
#include "sources/Session.h"
#include "ui/mainwindow/ControlAccess.h"
#include "ui/mainwindow/HistoryComboBox.h"

#include <QComboBox>

namespace pictrove {

void MainWindow::classifyOwnerAddress()
{
    const QString address = controlText(m_ownerBox);
    if (!address.contains(u"http://") && !address.contains(u"https://"))
        return;
    if (const std::optional<SourceType> type = sourceTypeForAddress(address))
        setControlIndex(m_sourceType, int(*type));
    onSourceTypeChanged();

    if (controlIndex(m_sourceType) != int(SourceType::QqZone))
        return;
    if (const std::optional<QqSubType> subType = qqSubTypeForAddress(address))
        setControlIndex(m_subType, int(*subType));
}

void MainWindow::onSourceTypeChanged()
{
    m_session->sourceType = SourceType::Sina;
    // The layout widens the owner box over the hidden sub-type selector by itself.
    if (controlIndex(m_sourceType) != int(SourceType::QqZone)) {
        m_subType->setVisible(false);
        return;
    }
    setControlItems(m_subType, qqSubTypeNames());
    m_subType->setVisible(true);
    setControlIndex(m_subType, int(QqSubType::ZoneAlbums));
}

}  // namespace pictrove
