// Every record layout shared by the server and the desktop programs, on disk and on the wire.
// Include this, or just the header of the one area you need.
#pragma once
#include "protocol/records/attendance.h"
#include "protocol/records/catalogues.h"
#include "protocol/records/criteria.h"
#include "protocol/records/devices.h"
#include "protocol/records/file_list.h"
#include "protocol/records/messages.h"
#include "protocol/records/orders.h"
#include "protocol/records/settings.h"
#include "protocol/records/users.h"
