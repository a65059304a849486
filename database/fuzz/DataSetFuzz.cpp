// libFuzzer target for turning an ERP data set (and a SOAP reply) into motor
// records. Checked: no crash or hang, and every record made holds one value a field.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxXmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CQvxDatabaseTable table;
    table.name = "QvxMotorDB";
    for (const char* name : {"PartNum", "ModelNum", "Resistance", "Inductance", "MaxRPM", "NumPoles", "MotorType",
                             "LinOrRot", "LinesPerRev"}) {
        auto* field = new CQvxDatabaseTableFieldDef;
        field->name = name;
        field->type = CQvxDatabaseTableFieldDef::typeString;
        field->column = static_cast<LONG>(table.fields.GetSize());
        table.fields.Add(field);
    }
    const CString text(std::string(reinterpret_cast<const char*>(data), size));
    CQvxCloudDatabaseInterface cloud;
    CString error;
    cloud.ConvertDataSet("QvxMotorDB", text, &table, &error);
    for (POSITION pos = table.rows.GetHeadPosition(); pos;) {
        if (table.rows.GetNext(pos)->values.GetSize() != table.fields.GetSize())
            std::abort();
    }
    CString content;
    CString attributes;
    int end = 0;
    QvxFindXmlElement(text, "soap:Body", 0, content, attributes, end);
    QvxXmlUnescape(text);
    CQvxCloudDatabaseInterface::TextLinesToRecords(text);
    return 0;
}
