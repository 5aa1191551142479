#include "editor/field_controls.h"

#include "resources/resource.h"

namespace {

struct FieldControl {
    ContactField field;
    int controlId;
};

// In field order.
constexpr FieldControl fieldControls[ContactFieldCount] = {
    {Surname, IDC_EDIT_SURNAME},
    {GivenName, IDC_EDIT_GIVEN_NAME},
    {Gender, IDC_EDIT_GENDER},
    {BirthYear, IDC_EDIT_BIRTHDAY},
    {BirthMonth, IDC_EDIT_BIRTHDAY},
    {BirthDay, IDC_EDIT_BIRTHDAY},
    {QQNumber, IDC_EDIT_QQ},
    {Email, IDC_EDIT_EMAIL},
    {Mobile, IDC_EDIT_MOBILE},
    {Nickname, IDC_EDIT_NICKNAME},
    {HomeCountry, IDC_EDIT_HOME_COUNTRY},
    {HomeProvince, IDC_EDIT_HOME_PROVINCE},
    {HomeCity, IDC_EDIT_HOME_CITY},
    {HomeStreet, IDC_EDIT_HOME_STREET},
    {HomePostcode, IDC_EDIT_HOME_POSTCODE},
    {HomePhone, IDC_EDIT_HOME_PHONE},
    {HomeFax, IDC_EDIT_HOME_FAX},
    {WorkCountry, IDC_EDIT_WORK_COUNTRY},
    {WorkProvince, IDC_EDIT_WORK_PROVINCE},
    {WorkCity, IDC_EDIT_WORK_CITY},
    {WorkStreet, IDC_EDIT_WORK_STREET},
    {WorkPostcode, IDC_EDIT_WORK_POSTCODE},
    {WorkPhone, IDC_EDIT_WORK_PHONE},
    {WorkFax, IDC_EDIT_WORK_FAX},
    {Company, IDC_EDIT_COMPANY},
    {Department, IDC_EDIT_DEPARTMENT},
    {JobTitle, IDC_EDIT_JOB_TITLE},
};

constexpr bool InFieldOrder() {
    for (int f = 0; f < ContactFieldCount; ++f) {
        if (fieldControls[f].field != f) return false;
    }
    return true;
}
static_assert(InFieldOrder(), "the editor's controls are listed in field order");

}  // namespace

int EditorControlOf(ContactField field) { return fieldControls[field].controlId; }
