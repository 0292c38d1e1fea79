#pragma once
// The upper half of the search panel: the start folder, the search type, the
// three rules with their summaries, and the button that starts a search and
// stops a running one. The walk runs in the library's search service off the
// GUI thread; what it finds streams into the results panel's list.
#include "library/SearchInputs.h"
#include <QObject>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeView;
class QWidget;

namespace nimbrel::library { class FileSearch; }
namespace nimbrel::platform { class MessageBoxes; }

namespace nimbrel::player {

class SearchResultsPanel;

class SearchPanel : public QObject {
    Q_OBJECT
public:
    SearchPanel(QWidget* container, platform::MessageBoxes& boxes, SearchResultsPanel& results,
                QObject* parent = nullptr);

    library::SearchInputs inputs() const;
    library::FileSearch& search() { return *search_; }

    // "搜索" / "停止": checks the inputs and starts a search, or asks the running one to stop.
    void Command1_Click();
    void Command9_Click();
    void Drive1_Change();
    void Dir1_Change();
    void refreshLabel9();
    void refreshLabel11();
    void oflash_Click();
    void oimage_Click();

    QLineEdit* Text3;
    QPushButton* Command1;
    QPushButton* Command9;
    QGroupBox* searchsettings;
    QComboBox* Drive1;
    QTreeView* Dir1;
    QRadioButton* oflash;
    QRadioButton* oimage;
    QComboBox* dateandhore;
    QLineEdit* dateandhoretext;
    QLabel* Label9;
    QComboBox* filesize;
    QLineEdit* filesizetext;
    QLabel* Label11;
    QLineEdit* searchfile;
    QLabel* Label13;

signals:
    // A search ended, by itself or stopped, and its results are in the list.
    void searchFinished(bool stopped, qulonglong foldersSkipped);

private:
    void createControls(QWidget* container);
    void createSettings();
    void connectSearch();

    platform::MessageBoxes& boxes_;
    SearchResultsPanel& results_;
    library::FileSearch* search_;
    QFileSystemModel* folders_ = nullptr;
};

} // namespace nimbrel::player
