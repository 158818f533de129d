#pragma once

#include <QByteArray>

// The information file of the example office (patent 3001, one
// representative of the earlier kind), byte for byte: what the writer must
// produce and what the signing tests sign.
inline const QByteArray ExpectedSample =
    "501|3001|1111111||||||||3001\r\n"
    "Paq_Version|KESTRO|3.5.0\r\n"
    "AA|3001|JUAN|PEREZ|LOPEZ|PELJ700101AB1|PELJ700101HDFRPN09|470||||0\r\n"
    "Domicilios_AA|3001|1|09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35\r\n"
    "Domicilios_AA|3001|2|09|15|REFORMA|10||CENTRO|06000|555 12 34|555 12 35\r\n"
    "Domicilios_AA|3001|3|09|15|REFORMA|12||CENTRO|06000|555 12 34|555 12 35\r\n"
    "Mandatarios|3001|GAMR800202MDFRRS01|GAMR800202XY2|ROSA|GARCIA|MARTINEZ|1|0|1\r\n"
    "Domicilios_MM|3001|GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|555 12 36|555 12 "
    "37|1\r\n"
    "Domicilios_MM|3001|GAMR800202MDFRRS01|09|15|JUAREZ|5|A|CENTRO|06000|555 12 36|555 12 "
    "37|2\r\n"
    "Aduanas_MM|3001|GAMR800202MDFRRS01|470\r\n"
    "Pedimentos_MM|3001|GAMR800202MDFRRS01|470|123|2003-05-20\r\n"
    "800|1111111|1|\r\n";
