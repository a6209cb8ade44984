// SPDX-FileCopyrightText: 2026 KZemvik developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

//! Error numbers of the session and dispatch servers, sent as "<number> <tid>".
namespace ServiceError
{
constexpr int UnknownCommand = 200; //!< a command word the server does not know, or a line it cannot parse
constexpr int InvalidArgument = 201; //!< fields missing, out of range or not allowed
constexpr int NotSignedIn = 202; //!< only "LSIN" is accepted before sign-in
constexpr int NotOnline = 217; //!< the recipient of a client-to-client message is not reachable
constexpr int UnknownId = 300; //!< sign-in with an ID that does not exist
constexpr int WrongPassword = 301; //!< sign-in digest (or the digest of a linked account) does not match
constexpr int AlreadySignedIn = 302; //!< a second "LSIN" on the same connection
constexpr int MemberNotFound = 304; //!< the member to add does not exist
constexpr int ServiceTrouble = 500; //!< the store failed, or no switchboard is available
}
