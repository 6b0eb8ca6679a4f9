#pragma once
// "Definition the list of Known Certificates": the certificates of TLS_Known_Cert.xml, whose
// Enable cells are check boxes with a state of their own.

#include <QStringList>

#include "tables/grid_window.h"

namespace qm::gui {

class Grid_View;

class TLS_Known_Cert_Window : public Grid_Window {
    Q_OBJECT
public:
    explicit TLS_Known_Cert_Window(QWidget* parent = nullptr);

    // Nothing typed is refused: always true.
    bool Controllo_dati() override { return true; }

    Grid_View* ASG;

    bool Do_Copy = false;
    QStringList Hint_List;

protected:
    std::vector<Grid_View*> Tables() const override { return {ASG}; }
    bool& Copied_Flag(Grid_View*) override { return Do_Copy; }
    void Set_Table_Texts() override;
    const std::string& File_Path() const override;
    Table_Read_Info Load(const std::string& path) override;
    Table_Save_Result Save(const std::string& path, bool keep_backup) override;
    Exchange_Table Exchange_Kind(const Grid_View*) const override { return Exchange_Table::Certificates; }
    bool Has_Check() const override { return false; }
    int Key_Column(Grid_View*) const override;
    int Mnemonic_Column(Grid_View*) const override;

private:
    void Init_Table();
};

} // namespace qm::gui
