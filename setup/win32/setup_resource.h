// Resource ids of the setup program's own resources beyond those every
// language module shares (resources/lang/resource_ids.h). Plain #defines:
// read by windres as well as by the compiler.
#ifndef ZOR_SETUP_WIN32_SETUP_RESOURCE_H
#define ZOR_SETUP_WIN32_SETUP_RESOURCE_H

// The frame that hosts the install page on its own.
#define IDD_INSTALL_FRAME 200

#endif
