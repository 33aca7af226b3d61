#pragma once

// libcurl's global initialisation, done once before the first handle is made.
void ensureCurlGlobalInit();
