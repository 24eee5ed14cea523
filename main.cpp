// Until the window exists, the program shows both conversions on the
// in-memory fields so that the core can be tried from the command line.

#include "conversions.h"
#include "fields.h"

#include <iostream>
#include <string>

namespace {

std::string narrow(const std::u16string &text)
{
    std::string out;
    for (char16_t c : text)
        out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

void show(const quorran::FieldModel &fields)
{
    for (quorran::Field field : quorran::kAllFields)
        std::cout << "  " << quorran::fieldName(field) << " = [" << narrow(fields.text(field)) << "]\n";
}

} // namespace

int main()
{
    using namespace quorran;
    std::cout << "Quorran 1.00: the window is not built yet; showing both conversions.\n";
    MemoryFields fields;
    fields.setText(Field::Dom, u"1");
    fields.setText(Field::Area, u"2");
    fields.setText(Field::Port, u"3");
    DapToAddress(fields);
    std::cout << "From D.A.P to AddrID with 1, 2, 3:\n";
    show(fields);
    fields.setText(Field::Addr, u"0x0A0B0C");
    AddressToDap(fields);
    std::cout << "From AddrID to D.A.P with 0x0A0B0C:\n";
    show(fields);
    return 0;
}
