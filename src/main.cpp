// Placeholder entry until the game class lands.
int main()
{
	return 0;
}
