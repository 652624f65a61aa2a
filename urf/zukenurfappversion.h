#pragma once

// Version of the application that writes (or reads) a result file. Major and minor become the
// version text of cases.
struct ZukenUrfAppVersion
{
    int major = 1;
    int minor = 0;
    int patch = 0;
};
