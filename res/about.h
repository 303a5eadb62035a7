// The About page's addresses and the texts that show them: the one place for both the page's
// template and the program. Narrow string literals, so that windres can read them; the program
// widens them with L"" in front. UTF-8, as the resource script is.
#ifndef LUMETTA_RES_ABOUT_H
#define LUMETTA_RES_ABOUT_H

#define ABOUT_NOTICE "Copyright © 2026 Lumetta. All rights reserved."
#define ABOUT_WEB_TEXT "lumetta.example"
#define ABOUT_EMAIL_TEXT "help@lumetta.example"

#define ABOUT_HOME_ADDRESS "https://lumetta.example/"
#define ABOUT_FEED_ADDRESS "https://lumetta.example/news.rss"
#define ABOUT_NEWSLETTER_ADDRESS "https://lumetta.example/newsletter"
#define ABOUT_MAIL_ADDRESS "mailto:help@lumetta.example"

#endif
