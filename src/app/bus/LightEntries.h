#pragma once

#include <QList>
#include <QVariantMap>

#include <vector>

struct LitraDevice;

// One light as the bus and `glowdeck status --json` show it: serial_number, name, on,
// brightness (per cent) and temperature (kelvin), each only when the report has it.
QVariantMap lightEntry(const LitraDevice& device);
QList<QVariantMap> lightEntries(const std::vector<LitraDevice>& devices);
