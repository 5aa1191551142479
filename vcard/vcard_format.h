// Facts of the vCard files this program reads and writes that both the
// reader and the writer rely on.
#pragma once

#include "store/contact_record.h"

const char VcardBegin[] = "BEGIN:VCARD";
const char VcardEnd[] = "END:VCARD";

// The address components that are kept, in vCard order after the
// post-office box and the extended address, which are never stored.
const int AddressFieldCount = 5;
struct AddressFields {
    ContactField fields[AddressFieldCount];  // street, locality, region, postal code, country
};
const AddressFields HomeAddress = {{HomeStreet, HomeCity, HomeProvince, HomePostcode, HomeCountry}};
const AddressFields WorkAddress = {{WorkStreet, WorkCity, WorkProvince, WorkPostcode, WorkCountry}};
