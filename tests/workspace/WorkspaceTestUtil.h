#pragma once
#include "platform/Error.h"
#include "workspace/Workspace.h"
#include "workspace/WorkspaceFile.h"

#include <QMap>
#include <QStringList>

// An attach routine over an imagined set of databases: each known name gets a
// Database node with the given tables (e-mail column "EMail"); any other name
// fails as a missing file would.
struct FakeDatabases {
    QMap<QString, QStringList> tables;
    QStringList attached;

    vt::AttachDatabaseFn routine(vt::Workspace& ws)
    {
        return [this, &ws](const QString& name, bool readOnly, const QString& connect, bool odbc) {
            if (!tables.contains(name))
                throw vt::VtError("Could not find file '" + name + "'.");
            attached << name;
            auto db = std::make_unique<vt::VTDatabase>();
            db->ReadOnly = readOnly;
            db->Connect = connect;
            db->ODBC = odbc;
            vt::Node* dbNode = ws.addKindNode(nullptr, vt::kind::Database(), name, std::move(db));
            for (const QString& t : tables[name]) {
                auto tab = std::make_unique<vt::VTTable>();
                tab->EMailField = "EMail";
                tab->SelectStatement = "SELECT * FROM [" + t + "]";
                ws.addKindNode(dbNode, vt::kind::Table(), t, std::move(tab));
            }
        };
    }
};
