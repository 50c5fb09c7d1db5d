// Resource identifiers shared by the resource script and the code.
#pragma once

#define PROPERTY_LIST_ID 17000
#define TERMINOLOGY_ID 17000
