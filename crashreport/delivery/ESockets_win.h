// WinSock functions bound by name at run time (ESockets.h). Each binder looks
// its function up on every call, so the library never imports WinSock.
#pragma once

#include <winsock2.h>

namespace drevnik::winsock {

int closesocket(SOCKET s);
int connect(SOCKET s, const sockaddr* name, int namelen);
u_short htons(u_short hostshort);
int ioctlsocket(SOCKET s, long cmd, u_long* argp);
int recv(SOCKET s, char* buf, int len, int flags);
int send(SOCKET s, const char* buf, int len, int flags);
SOCKET socket(int af, int type, int protocol);
hostent* gethostbyname(const char* name);
int gethostname(char* name, int namelen);
int WSAAsyncSelect(SOCKET s, HWND hWnd, u_int wMsg, long lEvent);
int WSAGetLastError();
int WSAStartup(WORD wVersionRequested, WSADATA* lpWSAData);
int WSACleanup();

}  // namespace drevnik::winsock
