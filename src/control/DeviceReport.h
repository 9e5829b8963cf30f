#pragma once

#include "LitraDevice.h"

#include <QByteArrayView>

#include <stdexcept>
#include <vector>

// Why a device report could not be decoded, in words a person can read.
class ReportDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes the JSON device report: an array of objects with nine optional keys. Any wrong type
// anywhere fails the whole report. Throws ReportDecodeError.
std::vector<LitraDevice> decodeDeviceReport(QByteArrayView utf8);
