#pragma once

enum class HttpVersion { Http11, Http10 };
